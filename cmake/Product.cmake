# The product's version as platform/Product.h states it, for the build and the manual pages:
#   TESSELPAD_PRODUCT_VERSION   major.minor.patch
set(TESSELPAD_PRODUCT_HEADER ${CMAKE_CURRENT_LIST_DIR}/../platform/Product.h)
file(STRINGS ${TESSELPAD_PRODUCT_HEADER} _tesselpad_product_lines)

set(_tesselpad_version "")
foreach(part Major Minor Patch)
  set(_found "")
  foreach(line IN LISTS _tesselpad_product_lines)
    if(line MATCHES "constexpr int kVersion${part} = ([0-9]+)")
      set(_found ${CMAKE_MATCH_1})
    endif()
  endforeach()
  if(_found STREQUAL "")
    message(FATAL_ERROR "platform/Product.h has no kVersion${part}")
  endif()
  list(APPEND _tesselpad_version ${_found})
endforeach()
list(JOIN _tesselpad_version "." TESSELPAD_PRODUCT_VERSION)
