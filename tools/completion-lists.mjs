// Writes the completion lists of resources/completion/ from the npm packages that carry the HTML,
// SVG and CSS standards' names (html-tag-names, svg-tag-names, html-element-attributes,
// svg-element-attributes, mdn-data):
//   npm install html-tag-names svg-tag-names html-element-attributes svg-element-attributes mdn-data
//   node tools/completion-lists.mjs resources/completion
// The values of enumerated attributes (html-values.txt) are kept by hand from the HTML standard's
// attribute index, and the character references come from Python (see entities.txt's first line).
import {htmlTagNames} from 'html-tag-names'
import {svgTagNames} from 'svg-tag-names'
import {htmlElementAttributes} from 'html-element-attributes'
import {svgElementAttributes} from 'svg-element-attributes'
import {createRequire} from 'node:module'
import {writeFileSync} from 'node:fs'

const require = createRequire(import.meta.url)
const properties = require('mdn-data/css/properties.json')
const syntaxes = require('mdn-data/css/syntaxes.json')
const out = process.argv[2] || 'resources/completion'

// Elements the HTML standard lists as obsolete, and SVG 1.1 / SVG Tiny elements SVG 2 dropped.
const obsoleteHtml = new Set(('acronym applet basefont bgsound big blink center dir font frame frameset image ' +
  'isindex keygen listing marquee menuitem multicol nextid nobr noembed noframes plaintext rb rtc spacer strike tt xmp').split(' '))
const obsoleteSvg = new Set(('altGlyph altGlyphDef altGlyphItem animateColor animation audio canvas color-profile cursor ' +
  'font font-face font-face-format font-face-name font-face-src font-face-uri glyph glyphRef handler hkern iframe ' +
  'listener missing-glyph prefetch solidColor tbreak textArea tref unknown video vkern').split(' '))
const obsoleteSvgAttr = /^(nav-.*|focusHighlight|focusable|requiredFeatures|requiredFormats|requiredFonts|externalResourcesRequired|enable-background|kerning|color-profile|glyph-orientation-.*|about|datatype|property|resource|rev|typeof|content|clip)$/
// Attributes the HTML standard lists as obsolete, on every element and on some only.
const obsoleteAttr = new Set(('align alink allowpaymentrequest allowusermedia archive axis background bgcolor cellpadding ' +
  'cellspacing char charoff classid clear code codebase codetype compact datapagesize declare frameborder hspace ' +
  'longdesc lowsrc manifest marginheight marginwidth methods noshade nowrap profile rev rules scheme scrolling ' +
  'standby summary typemustmatch urn valign version vlink vspace').split(' '))
const obsoleteOn = {
  a: 'charset coords name shape', area: 'hreftype nohref type', body: 'link text', col: 'width', colgroup: 'width',
  embed: 'name', hr: 'color size width', img: 'border name', input: 'ismap usemap', li: 'type',
  link: 'charset color target', option: 'name', pre: 'width', script: 'charset event for language',
  table: 'border frame width', td: 'abbr height scope width', th: 'height width', ul: 'type'
}
const current = (element, names) => names.filter(a => !obsoleteAttr.has(a) && !(obsoleteOn[element] || '').split(' ').includes(a))
// The event handler content attributes every HTML element takes.
const handlers = ('onabort onafterprint onauxclick onbeforeinput onbeforeprint onbeforetoggle onbeforeunload onblur ' +
  'oncancel oncanplay oncanplaythrough onchange onclick onclose oncontextmenu oncopy oncuechange oncut ondblclick ' +
  'ondrag ondragend ondragenter ondragleave ondragover ondragstart ondrop ondurationchange onemptied onended ' +
  'onerror onfocus onformdata onhashchange oninput oninvalid onkeydown onkeypress onkeyup onlanguagechange onload ' +
  'onloadeddata onloadedmetadata onloadstart onmessage onmousedown onmouseenter onmouseleave onmousemove ' +
  'onmouseout onmouseover onmouseup onoffline ononline onpagehide onpageshow onpaste onpause onplay onplaying ' +
  'onpopstate onprogress onratechange onreset onresize onscroll onscrollend onsecuritypolicyviolation onseeked ' +
  'onseeking onselect onslotchange onstalled onstorage onsubmit onsuspend ontimeupdate ontoggle onunload ' +
  'onvolumechange onwaiting onwheel').split(' ')

const header = '# Made by tools/completion-lists.mjs from '
const html = htmlTagNames.filter(n => !obsoleteHtml.has(n))
const htmlSet = new Set(html)
const svg = svgTagNames.filter(n => !obsoleteSvg.has(n) && !htmlSet.has(n))
writeFileSync(`${out}/elements.txt`, header + 'html-tag-names and svg-tag-names: HTML elements, then SVG 2 elements.\n' +
  html.concat(svg).join('\n') + '\n')

// "element attribute..." lines; "*" is every HTML element.
const lines = ['*' + ' ' + htmlElementAttributes['*'].concat(handlers).join(' ')]
for (const name of html)
  if (htmlElementAttributes[name] && current(name, htmlElementAttributes[name]).length)
    lines.push(name + ' ' + current(name, htmlElementAttributes[name]).join(' '))
const svgGlobal = (svgElementAttributes['*'] || []).filter(a => !obsoleteSvgAttr.test(a))
for (const name of svg.concat(['svg'])) {
  const own = (svgElementAttributes[name] || []).filter(a => !obsoleteSvgAttr.test(a))
  lines.push(name + ' ' + [...new Set(svgGlobal.concat(own))].join(' '))
}
writeFileSync(`${out}/attributes.txt`, header + 'html-element-attributes and svg-element-attributes: ' +
  'an element and its own attributes on each line (without those the HTML standard calls obsolete), "*" the global attributes of HTML.\n' + lines.join('\n') + '\n')

// The bare keywords of a value syntax, following the named types it uses a few levels deep.
function keywords(syntax, depth, seen, found) {
  const text = syntax.replace(/'[^']*'/g, ' ')
  for (const m of text.matchAll(/<([a-z-]+)(?:\s*\[[^\]]*\])?>|([a-z][a-z0-9-]*)(\()?/g)) {
    if (m[1]) {
      const type = syntaxes[m[1]]
      if (type && depth < 4 && !seen.has(m[1])) {
        seen.add(m[1])
        keywords(type.syntax, depth + 1, seen, found)
      }
    } else if (!m[3]) found.add(m[2])
  }
}
const css = []
for (const [name, p] of Object.entries(properties)) {
  if (name.startsWith('-') || p.status === 'nonstandard' || p.status === 'obsolete') continue
  const found = new Set()
  keywords(p.syntax, 0, new Set(), found)
  css.push([name, ...[...found].slice(0, 200)].join(' '))
}
writeFileSync(`${out}/css-properties.txt`, header + 'mdn-data: a CSS property and the keywords of its values on each ' +
  'line (inherit, initial, unset, revert and revert-layer go with every property).\n' + css.sort().join('\n') + '\n')
