#include "edit/Abbreviation.h"

#include "edit/Markup.h"

#include <algorithm>
#include <memory>

namespace abbreviation {
namespace {

bool isDigit(char c) { return c >= '0' && c <= '9'; }
bool isAlnum(char c) { return isDigit(c) || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }
bool isBlank(char c) { return c == ' ' || c == '\t'; }
// Characters of names, classes and ids.
bool isNameChar(char c) {
    return isAlnum(c) || c == '-' || c == '_' || c == ':' || c == '$' || c == '@' ||
           static_cast<unsigned char>(c) >= 0x80;
}

struct Attribute {
    QByteArray name, value;
};

struct Node {
    bool group = false;
    bool textOnly = false;
    QByteArray name, id, text;
    std::vector<QByteArray> classes;
    std::vector<Attribute> attributes;
    int repeat = 1;
    std::vector<Node> children;   // a group's nodes, or an element's
};

class Parser {
public:
    explicit Parser(QByteArrayView s) : s_(s) {}

    bool parse(std::vector<Node>& out) {
        if (!sequence(out, 0)) return false;
        return i_ == s_.size();
    }

private:
    char peek() const { return i_ < s_.size() ? s_[i_] : 0; }

    bool sequence(std::vector<Node>& roots, int depth) {
        if (depth > 64) return false;
        std::vector<std::vector<Node>*> levels{&roots};
        for (;;) {
            Node node;
            if (!term(node, depth)) return false;
            levels.back()->push_back(std::move(node));
            Node* last = &levels.back()->back();
            const char op = peek();
            if (op == '>') {
                ++i_;
                // After a group, its last element takes the children.
                while (last->group && !last->children.empty()) last = &last->children.back();
                if (last->group || last->textOnly) return false;
                levels.push_back(&last->children);
            } else if (op == '+') {
                ++i_;
            } else if (op == '^') {
                while (peek() == '^') {
                    ++i_;
                    if (levels.size() > 1) levels.pop_back();
                }
            } else {
                return true;   // ')' or the end: the caller decides
            }
        }
    }

    bool term(Node& node, int depth) {
        if (peek() == '(') {
            ++i_;
            node.group = true;
            if (!sequence(node.children, depth + 1) || peek() != ')') return false;
            ++i_;
            return repeat(node);
        }
        const qint64 start = i_;
        while (isNameChar(peek())) ++i_;
        node.name = s_.sliced(start, i_ - start).toByteArray();
        bool any = !node.name.isEmpty();
        bool text = false;
        for (;;) {
            const char c = peek();
            if (c == '.' || c == '#') {
                ++i_;
                const qint64 from = i_;
                while (isNameChar(peek())) ++i_;
                if (i_ == from) return false;
                const QByteArray word = s_.sliced(from, i_ - from).toByteArray();
                if (c == '.') node.classes.push_back(word);
                else node.id = word;
            } else if (c == '[') {
                ++i_;
                if (!attributes(node)) return false;
            } else if (c == '{') {
                if (!braced(node.text)) return false;
                text = true;
            } else {
                break;
            }
            any = true;
        }
        if (!any) return false;
        node.textOnly = text && node.name.isEmpty() && node.id.isEmpty() && node.classes.empty() &&
                        node.attributes.empty();
        return repeat(node);
    }

    bool repeat(Node& node) {
        if (peek() != '*') return true;
        ++i_;
        const qint64 from = i_;
        while (isDigit(peek()) && i_ - from < 5) ++i_;
        if (i_ == from || isDigit(peek())) return false;
        node.repeat = s_.sliced(from, i_ - from).toByteArray().toInt();
        return node.repeat >= 1 && node.repeat <= kMaxRepeat;
    }

    // {text}, braces inside counted so that they stay balanced.
    bool braced(QByteArray& text) {
        int level = 0;
        const qint64 from = i_ + 1;
        for (; i_ < s_.size(); ++i_) {
            if (s_[i_] == '{') ++level;
            else if (s_[i_] == '}' && --level == 0) break;
        }
        if (i_ >= s_.size()) return false;
        text += s_.sliced(from, i_ - from).toByteArray();
        ++i_;
        return true;
    }

    // name, name=value, name="value" or name='value', blank separated, up to ']'.
    bool attributes(Node& node) {
        for (;;) {
            while (isBlank(peek())) ++i_;
            if (peek() == ']') {
                ++i_;
                return true;
            }
            const qint64 from = i_;
            while (i_ < s_.size() && !isBlank(s_[i_]) && s_[i_] != '=' && s_[i_] != ']' && s_[i_] != '"' &&
                   s_[i_] != '\'')
                ++i_;
            if (i_ == from) return false;
            Attribute a{s_.sliced(from, i_ - from).toByteArray(), {}};
            if (peek() == '=') {
                ++i_;
                const char q = peek();
                if (q == '"' || q == '\'') {
                    const qint64 at = s_.indexOf(q, i_ + 1);
                    if (at < 0) return false;
                    a.value = s_.sliced(i_ + 1, at - i_ - 1).toByteArray();
                    i_ = at + 1;
                } else {
                    const qint64 v = i_;
                    while (i_ < s_.size() && !isBlank(s_[i_]) && s_[i_] != ']') ++i_;
                    a.value = s_.sliced(v, i_ - v).toByteArray();
                }
            }
            node.attributes.push_back(std::move(a));
        }
    }

    QByteArrayView s_;
    qint64 i_ = 0;
};

// ---- Elements with their numbers in place

struct Element {
    bool text = false;
    QByteArray name, content;
    std::vector<Attribute> attributes;
    std::vector<Element> children;
};

bool isOneOf(QByteArrayView name, std::initializer_list<const char*> names) {
    for (const char* n : names)
        if (name.compare(QByteArrayView(n), Qt::CaseInsensitive) == 0) return true;
    return false;
}

bool isInline(QByteArrayView name) {
    return isOneOf(name, {"a", "abbr", "acronym", "b", "bdi", "bdo", "big", "br", "button", "cite", "code",
                          "data", "del", "dfn", "em", "font", "i", "iframe", "img", "input", "ins", "kbd",
                          "label", "map", "mark", "object", "q", "s", "samp", "select", "small", "span",
                          "strike", "strong", "sub", "sup", "textarea", "time", "tt", "u", "var", "wbr"});
}

// The name of an element written without one, inside 'parent'.
QByteArray implicitName(QByteArrayView parent) {
    if (isOneOf(parent, {"ul", "ol", "menu"})) return "li";
    if (isOneOf(parent, {"table", "tbody", "thead", "tfoot"})) return "tr";
    if (isOneOf(parent, {"tr"})) return "td";
    if (isOneOf(parent, {"select", "optgroup", "datalist"})) return "option";
    if (!parent.isEmpty() && isInline(parent)) return "span";
    return "div";
}

// Attributes an element is seldom written without.
std::vector<Attribute> defaultAttributes(QByteArrayView name) {
    if (isOneOf(name, {"a"})) return {{"href", {}}};
    if (isOneOf(name, {"img"})) return {{"src", {}}, {"alt", {}}};
    if (isOneOf(name, {"link"})) return {{"rel", "stylesheet"}, {"href", {}}};
    if (isOneOf(name, {"input"})) return {{"type", "text"}};
    if (isOneOf(name, {"form"})) return {{"action", {}}};
    if (isOneOf(name, {"label"})) return {{"for", {}}};
    if (isOneOf(name, {"option"})) return {{"value", {}}};
    return {};
}

// Each run of '$' becomes the number, padded with zeros to the run's length.
QByteArray numbered(const QByteArray& s, int number) {
    if (!s.contains('$')) return s;
    QByteArray out;
    for (qsizetype i = 0; i < s.size();) {
        if (s[i] != '$') {
            out += s[i++];
            continue;
        }
        qsizetype run = 0;
        while (i < s.size() && s[i] == '$') ++i, ++run;
        QByteArray digits = QByteArray::number(number);
        if (digits.size() < run) digits.prepend(QByteArray(run - digits.size(), '0'));
        out += digits;
    }
    return out;
}

class Builder {
public:
    explicit Builder(const Style& style) : style_(style) {}
    std::vector<QByteArray> names;

    bool build(const std::vector<Node>& nodes, QByteArrayView parent, int number, std::vector<Element>& out) {
        for (const Node& node : nodes) {
            for (int r = 1; r <= node.repeat; ++r) {
                const int n = node.repeat > 1 ? r : number;
                if (node.group) {
                    if (!build(node.children, parent, n, out)) return false;
                    continue;
                }
                if (++count_ > kMaxNodes) return false;
                Element e;
                e.content = numbered(node.text, n);
                if (node.textOnly) {
                    e.text = true;
                    out.push_back(std::move(e));
                    continue;
                }
                if (node.name.isEmpty()) {
                    if (style_.xml) return false;
                    e.name = implicitName(parent);
                } else {
                    e.name = numbered(node.name, n);
                    const QByteArray first = numbered(node.name, 1);   // h$ is h1, h2...
                    if (r == 1 && std::find(names.begin(), names.end(), first) == names.end()) names.push_back(first);
                }
                if (!style_.xml) e.attributes = defaultAttributes(e.name);
                if (!node.id.isEmpty()) set(e.attributes, "id", numbered(node.id, n));
                if (!node.classes.empty()) {
                    QByteArray cls;
                    for (const QByteArray& c : node.classes) cls += (cls.isEmpty() ? "" : " ") + numbered(c, n);
                    set(e.attributes, "class", cls);
                }
                for (const Attribute& a : node.attributes) set(e.attributes, a.name, numbered(a.value, n));
                if (!build(node.children, e.name, n, e.children)) return false;
                out.push_back(std::move(e));
            }
        }
        return true;
    }

private:
    static void set(std::vector<Attribute>& list, const QByteArray& name, const QByteArray& value) {
        for (Attribute& a : list) {
            if (a.name == name) {
                a.value = value;
                return;
            }
        }
        list.push_back({name, value});
    }

    const Style& style_;
    int count_ = 0;
};

// ---- Writing

class Writer {
public:
    explicit Writer(const Style& style) : style_(style) {}
    QByteArray out;
    qint64 caret = -1;
    bool tooLarge = false;

    void list(const std::vector<Element>& elements, int depth, bool firstOnNewLine) {
        const bool block = std::any_of(elements.begin(), elements.end(), [this](const Element& e) { return isBlock(e); });
        bool first = true;
        for (const Element& e : elements) {
            if (block && (!first || firstOnNewLine)) newLine(depth);
            first = false;
            element(e, depth);
            if (tooLarge) return;
        }
    }

private:
    bool isBlock(const Element& e) const { return !e.text && (style_.xml || !isInline(e.name)); }

    void put(QByteArrayView s) {
        if (out.size() + s.size() > kMaxBytes) tooLarge = true;
        else out += s;
    }
    void mark() {
        if (caret < 0) caret = out.size();
    }
    void newLine(int depth) {
        put(style_.lineEnd);
        put(style_.baseIndent);
        for (int k = 0; k < depth && !tooLarge; ++k) put(style_.indent);
    }

    void element(const Element& e, int depth) {
        if (e.text) {
            put(e.content);
            return;
        }
        put("<");
        put(e.name);
        for (const Attribute& a : e.attributes) {
            put(" ");
            put(a.name);
            put("=\"");
            if (a.value.isEmpty()) mark();
            put(a.value);
            put("\"");
        }
        put(">");
        if (!style_.xml && markup::isVoidElement(e.name)) return;
        put(e.content);
        if (e.content.isEmpty() && e.children.empty()) mark();
        const bool block = std::any_of(e.children.begin(), e.children.end(), [this](const Element& c) { return isBlock(c); });
        list(e.children, depth + 1, true);
        if (block) newLine(depth);
        put("</");
        put(e.name);
        put(">");
    }

    const Style& style_;
};

Expansion page(const Style& style) {
    Expansion x;
    const QByteArray nl = style.lineEnd + style.baseIndent;
    const QByteArray& in = style.indent;
    x.text = "<!DOCTYPE html>" + nl + "<html lang=\"en\">" + nl + "<head>" + nl + in + "<meta charset=\"UTF-8\">" +
             nl + in + "<meta name=\"viewport\" content=\"width=device-width, initial-scale=1.0\">" + nl + in +
             "<title>";
    x.caret = x.text.size();
    x.text += "</title>" + nl + "</head>" + nl + "<body>" + nl + in + nl + "</body>" + nl + "</html>";
    x.names = {"html", "head", "meta", "title", "body"};
    return x;
}

} // namespace

Expansion expand(QByteArrayView abbreviation, const Style& style) {
    if (abbreviation.isEmpty() || abbreviation.size() > kMaxLength) return {};
    if (abbreviation == "!") return page(style);
    std::vector<Node> nodes;
    if (!Parser(abbreviation).parse(nodes)) return {};
    Builder builder(style);
    std::vector<Element> elements;
    if (!builder.build(nodes, {}, 1, elements)) return {};
    Writer writer(style);
    writer.list(elements, 0, false);
    if (writer.tooLarge || writer.out.isEmpty()) return {};   // "{}" writes nothing: nothing to expand
    Expansion x;
    x.text = std::move(writer.out);
    x.caret = writer.caret >= 0 ? writer.caret : x.text.size();
    x.names = std::move(builder.names);
    return x;
}

qint64 startIn(QByteArrayView line) {
    qint64 i = line.size();
    int level = 0;   // inside [...] or {...}, read backwards
    while (i > 0) {
        const char c = line[i - 1];
        if (level > 0) {
            if (c == ']' || c == '}') ++level;
            else if (c == '[' || c == '{') --level;
            --i;
            continue;
        }
        if (c == ']' || c == '}') {
            ++level;
            --i;
            continue;
        }
        if (c == '>') {
            // The end of a tag ends the abbreviation; a '>' between names is part of it.
            qint64 k = i - 2;
            while (k >= 0 && line[k] != '<' && line[k] != '>') --k;
            if (k >= 0 && line[k] == '<') break;
            --i;
            continue;
        }
        if (isNameChar(c) || c == '.' || c == '#' || c == '+' || c == '^' || c == '*' || c == '(' || c == ')' ||
            c == '!') {
            --i;
            continue;
        }
        break;
    }
    return level > 0 ? line.size() : i;
}

} // namespace abbreviation
