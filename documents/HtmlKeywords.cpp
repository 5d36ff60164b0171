#include "documents/HtmlKeywords.h"

#include <QByteArray>

namespace htmlkeywords {
namespace {

QStringList words(const char* text) {
    return QString::fromLatin1(text).split(QLatin1Char(' '), Qt::SkipEmptyParts);
}

// HTML as browsers read it now, with the obsolete elements older pages still hold.
const char* const kHtmlElements =
    "a abbr acronym address applet area article aside audio b base basefont bdi bdo bgsound big "
    "blink blockquote body br button canvas caption center cite code col colgroup data datalist dd "
    "del details dfn dialog dir div dl dt em embed fieldset figcaption figure font footer form "
    "frame frameset h1 h2 h3 h4 h5 h6 head header hgroup hr html i iframe image img input ins "
    "isindex kbd keygen label legend li link listing main map mark marquee menu menuitem meta meter "
    "multicol nav nextid nobr noembed noframes noscript object ol optgroup option output p param "
    "picture plaintext pre progress q rb rp rt rtc ruby s samp script search section select slot "
    "small source spacer span strike strong style sub summary sup table tbody td template textarea "
    "tfoot th thead time title tr track tt u ul var video wbr xmp";

// SVG inside HTML, lower case as the lexer compares (linearGradient is lineargradient).
const char* const kSvgElements =
    "svg altglyph altglyphdef altglyphitem animate animatecolor animatemotion animatetransform "
    "circle clippath color-profile cursor defs desc discard ellipse feblend fecolormatrix "
    "fecomponenttransfer fecomposite feconvolvematrix fediffuselighting fedisplacementmap "
    "fedistantlight fedropshadow feflood fefunca fefuncb fefuncg fefuncr fegaussianblur feimage "
    "femerge femergenode femorphology feoffset fepointlight fespecularlighting fespotlight fetile "
    "feturbulence filter font-face font-face-format font-face-name font-face-src font-face-uri "
    "foreignobject g glyph glyphref hatch hatchpath hkern line lineargradient marker mask mesh "
    "meshgradient meshpatch meshrow metadata missing-glyph mpath path pattern polygon polyline "
    "radialgradient rect set solidcolor stop switch symbol text textpath tref tspan use view vkern";

const char* const kMathElements =
    "math maction annotation annotation-xml menclose merror mfenced mfrac mglyph mi mlabeledtr "
    "mlongdiv mmultiscripts mn mo mover mpadded mphantom mprescripts mroot mrow ms mscarries "
    "mscarry msgroup msline mspace msqrt msrow mstack mstyle msub msubsup msup mtable mtd mtext "
    "mtr munder munderover none semantics";

const char* const kHtmlAttributes =
    // global
    "accesskey autocapitalize autocorrect autofocus class contenteditable dir draggable "
    "enterkeyhint exportparts hidden id inert inputmode is itemid itemprop itemref itemscope "
    "itemtype lang nonce part popover role slot spellcheck style tabindex title translate "
    "writingsuggestions "
    // of particular elements
    "accept accept-charset action allow allowfullscreen allowpaymentrequest alpha alt as async "
    "autocomplete autoplay blocking capture charset checked cite colorspace cols colspan content "
    "controls controlslist coords crossorigin csp data datetime decoding default defer dirname "
    "disabled disablepictureinpicture disableremoteplayback download enctype fetchpriority for "
    "form formaction formenctype formmethod formnovalidate formtarget headers height high href "
    "hreflang http-equiv imagesizes imagesrcset integrity ismap kind label list loading loop low "
    "manifest max maxlength media method min minlength multiple muted name novalidate open "
    "optimum pattern ping placeholder playsinline popovertarget popovertargetaction poster "
    "preload readonly referrerpolicy rel required reversed rows rowspan sandbox scope selected "
    "shadowrootclonable shadowrootdelegatesfocus shadowrootmode shadowrootserializable shape size "
    "sizes span src srcdoc srclang srcset start step summary target type usemap value width wrap "
    // presentational and obsolete, still common
    "align alink allowtransparency archive axis background behavior bgcolor border bordercolor "
    "bottommargin cellpadding cellspacing char charoff classid clear code codebase codetype color "
    "compact datafld dataformatas datasrc declare direction event face frameborder framespacing "
    "hspace language leftmargin link longdesc marginheight marginwidth methods nohref noresize "
    "noshade nowrap profile prompt rev rightmargin rules scheme scrollamount scrolldelay scrolling "
    "standby text topmargin truespeed urn valign valuetype version vlink vspace";

const char* const kSvgAttributes =
    "accumulate additive alignment-baseline amplitude attributename attributetype azimuth "
    "basefrequency baseline-shift baseprofile begin bias by calcmode clip clip-path clip-rule "
    "clippathunits color-interpolation color-interpolation-filters cursor cx cy d diffuseconstant "
    "direction display divisor dominant-baseline dur dx dy edgemode elevation enable-background end "
    "exponent externalresourcesrequired fill fill-opacity fill-rule filter filterunits flood-color "
    "flood-opacity font-family font-size font-size-adjust font-stretch font-style font-variant "
    "font-weight fr from fx fy gradienttransform gradientunits image-rendering in in2 intercept k "
    "k1 k2 k3 k4 kernelmatrix kernelunitlength keypoints keysplines keytimes lengthadjust "
    "letter-spacing lighting-color limitingconeangle marker-end marker-mid marker-start "
    "markerheight markerunits markerwidth mask mask-type maskcontentunits maskunits mode "
    "numoctaves offset opacity operator order orient overflow paint-order path pathlength "
    "patterncontentunits patterntransform patternunits pointer-events points pointsatx pointsaty "
    "pointsatz preservealpha preserveaspectratio primitiveunits r radius refx refy repeatcount "
    "repeatdur requiredextensions requiredfeatures restart result rotate rx ry scale seed "
    "shape-rendering slope spacing specularconstant specularexponent spreadmethod startoffset "
    "stddeviation stitchtiles stop-color stop-opacity stroke stroke-dasharray stroke-dashoffset "
    "stroke-linecap stroke-linejoin stroke-miterlimit stroke-opacity stroke-width surfacescale "
    "systemlanguage tablevalues targetx targety text-anchor text-decoration text-rendering "
    "textlength to transform transform-origin unicode-bidi values vector-effect viewbox "
    "visibility word-spacing writing-mode x x1 x2 xchannelselector y y1 y2 ychannelselector z "
    "zoomandpan";

const char* const kMathAttributes =
    "accent accentunder bevelled close columnalign columnlines columnspan definitionurl "
    "denomalign depth displaystyle encoding equalcolumns equalrows fence frame largeop "
    "linethickness lspace mathbackground mathcolor mathsize mathvariant maxsize minsize "
    "movablelimits notation numalign rowalign rowlines rspace scriptlevel separator separators "
    "stretchy symmetric voffset";

const char* const kPrefixes = "data- aria- on xlink: xml: xmlns";

const char* const kJavaScript =
    "abstract arguments async await boolean break byte case catch char class const continue "
    "debugger default delete do double else enum eval export extends false final finally float "
    "for from function get goto if implements import in instanceof int interface let long native "
    "new null of package private protected public return set short static super switch "
    "synchronized this throw throws transient true try typeof undefined var void volatile while "
    "with yield Infinity NaN";

} // namespace

const QStringList& elements() {
    static const QStringList list = words(kHtmlElements) + words(kSvgElements) + words(kMathElements);
    return list;
}

const QStringList& attributes() {
    static const QStringList list = words(kHtmlAttributes) + words(kSvgAttributes) + words(kMathAttributes);
    return list;
}

const QStringList& attributePrefixes() {
    static const QStringList list = words(kPrefixes);
    return list;
}

const char* htmlSet() {
    static const QByteArray set = [] {
        QStringList all = elements() + attributes();
        for (const QString& prefix : attributePrefixes()) all << QLatin1Char('^') + prefix;
        all.removeDuplicates();
        return all.join(QLatin1Char(' ')).toLatin1();
    }();
    return set.constData();
}

const char* javaScriptSet() { return kJavaScript; }

} // namespace htmlkeywords
