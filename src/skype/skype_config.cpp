#include "skype/skype_config.h"

#include <tinyxml2.h>

#include <vector>

#include "app/log.h"
#include "platform/file_system.h"

namespace vocastra {

namespace {

// TinyXML-2 decides whether the file loads and which element the search
// finds. Saving through it would rewrite the whole file in its own layout,
// so the edit is made on the original bytes instead: a scanner that follows
// TinyXML-2's rules finds where each element's tags lie, and the edit is
// refused unless it saw exactly the elements TinyXML-2 saw, in the same order.
struct ElementSpan {
    std::string name;
    std::size_t start = 0;         // '<' of the start tag
    std::size_t contentStart = 0;  // just after the start tag
    std::size_t contentEnd = 0;    // '<' of the end tag (== contentStart when self-closing)
    std::size_t end = 0;           // just after the end tag
    bool selfClosing = false;
    int parent = -1;  // index of the enclosing element, -1 at the top
};

bool IsSpace(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

// Elements in document order (the order of their start tags); empty on
// anything the scanner does not understand.
std::optional<std::vector<ElementSpan>> ScanElements(std::string_view x) {
    std::vector<ElementSpan> out;
    std::vector<int> open;
    std::size_t i = 0;
    auto skipTo = [&](std::string_view end) {
        const std::size_t p = x.find(end, i);
        if (p == std::string_view::npos)
            return false;
        i = p + end.size();
        return true;
    };
    while (i < x.size()) {
        if (x[i] != '<') {
            ++i;
            continue;
        }
        const std::string_view rest = x.substr(i);
        if (rest.starts_with("<!--")) {
            i += 4;
            if (!skipTo("-->"))
                return std::nullopt;
        } else if (rest.starts_with("<![CDATA[")) {
            i += 9;
            if (!skipTo("]]>"))
                return std::nullopt;
        } else if (rest.starts_with("<?")) {
            i += 2;
            if (!skipTo("?>"))
                return std::nullopt;
        } else if (rest.starts_with("<!")) {
            // As TinyXML-2 reads a DOCTYPE or other unknown: to the first '>'.
            i += 2;
            if (!skipTo(">"))
                return std::nullopt;
        } else if (rest.starts_with("</")) {
            if (open.empty())
                return std::nullopt;
            std::size_t p = i + 2;
            const std::size_t nameStart = p;
            while (p < x.size() && !IsSpace(x[p]) && x[p] != '>')
                ++p;
            ElementSpan& e = out[static_cast<std::size_t>(open.back())];
            if (x.substr(nameStart, p - nameStart) != e.name)
                return std::nullopt;
            while (p < x.size() && IsSpace(x[p]))
                ++p;
            if (p >= x.size() || x[p] != '>')
                return std::nullopt;
            e.contentEnd = i;
            e.end = p + 1;
            open.pop_back();
            i = p + 1;
        } else {
            ElementSpan e;
            e.start = i;
            e.parent = open.empty() ? -1 : open.back();
            std::size_t p = i + 1;
            while (p < x.size() && !IsSpace(x[p]) && x[p] != '/' && x[p] != '>')
                ++p;
            e.name = std::string(x.substr(i + 1, p - i - 1));
            if (e.name.empty())
                return std::nullopt;
            // Attributes: quoted values may hold '>' and '/'.
            for (;;) {
                if (p >= x.size())
                    return std::nullopt;
                const char c = x[p];
                if (c == '"' || c == '\'') {
                    const std::size_t q = x.find(c, p + 1);
                    if (q == std::string_view::npos)
                        return std::nullopt;
                    p = q + 1;
                } else if (c == '>') {
                    break;
                } else if (c == '/' && p + 1 < x.size() && x[p + 1] == '>') {
                    e.selfClosing = true;
                    ++p;
                    break;
                } else {
                    ++p;
                }
            }
            e.contentStart = p + 1;
            if (e.selfClosing) {
                e.contentEnd = e.contentStart;
                e.end = e.contentStart;
            }
            out.push_back(std::move(e));
            if (!out.back().selfClosing)
                open.push_back(static_cast<int>(out.size() - 1));
            i = p + 1;
        }
    }
    if (!open.empty())
        return std::nullopt;
    return out;
}

// The names of every element of the document in document order.
std::vector<std::string> ParsedNames(const tinyxml2::XMLDocument& doc) {
    std::vector<std::string> names;
    std::vector<const tinyxml2::XMLElement*> stack;
    for (const tinyxml2::XMLElement* top = doc.FirstChildElement(); top;
         top = top->NextSiblingElement()) {
        stack.push_back(top);
        while (!stack.empty()) {
            const tinyxml2::XMLElement* e = stack.back();
            stack.pop_back();
            names.emplace_back(e->Name());
            std::vector<const tinyxml2::XMLElement*> kids;
            for (const tinyxml2::XMLElement* c = e->FirstChildElement(); c;
                 c = c->NextSiblingElement())
                kids.push_back(c);
            stack.insert(stack.end(), kids.rbegin(), kids.rend());
        }
    }
    return names;
}

struct Located {
    std::vector<ElementSpan> spans;
    int match = -1;  // index of the first element named as wanted, -1 when none
};

bool Parse(tinyxml2::XMLDocument& doc, std::string_view xml) {
    // A NUL would end TinyXML-2's reading early and hide the rest of the file.
    if (xml.empty() || xml.find('\0') != std::string_view::npos)
        return false;
    return doc.Parse(xml.data(), xml.size()) == tinyxml2::XML_SUCCESS && doc.RootElement();
}

// The match of the search, with the bytes of every element.
std::optional<Located> Locate(std::string_view xml, const std::string& name) {
    tinyxml2::XMLDocument doc;
    if (!Parse(doc, xml))
        return std::nullopt;
    const std::vector<std::string> names = ParsedNames(doc);
    auto spans = ScanElements(xml);
    if (!spans || spans->size() != names.size())
        return std::nullopt;
    for (std::size_t k = 0; k < names.size(); ++k)
        if ((*spans)[k].name != names[k])
            return std::nullopt;
    Located loc{std::move(*spans), -1};
    // Only the root's subtree is searched: the root and the elements that
    // follow it while they lie inside it.
    for (std::size_t k = 0; k < loc.spans.size(); ++k) {
        if (k > 0 && loc.spans[k].parent == -1)
            break;
        if (loc.spans[k].name == name) {
            loc.match = static_cast<int>(k);
            break;
        }
    }
    return loc;
}

std::string EscapeText(const std::string& text) {
    std::string out;
    for (char c : text) {
        switch (c) {
            case '&':
                out += "&amp;";
                break;
            case '<':
                out += "&lt;";
                break;
            case '>':
                out += "&gt;";
                break;
            default:
                out += c;
        }
    }
    return out;
}

// `xml` with the element's content replaced by `content` (raw markup).
std::string ReplaceContent(std::string_view xml, const ElementSpan& e, const std::string& content) {
    std::string out;
    if (e.selfClosing) {
        // "<Name a='1'/>" becomes "<Name a='1'>content</Name>".
        const std::size_t slash = e.end - 2;
        out.append(xml.substr(0, slash));
        out += '>';
        out += content;
        out += "</" + e.name + ">";
        out.append(xml.substr(e.end));
    } else {
        out.append(xml.substr(0, e.contentStart));
        out += content;
        out.append(xml.substr(e.contentEnd));
    }
    return out;
}

std::size_t WhitespaceRunBefore(std::string_view xml, std::size_t pos, std::size_t floor) {
    std::size_t p = pos;
    while (p > floor && IsSpace(xml[p - 1]))
        --p;
    return p;
}

}  // namespace

bool XmlNodeExists(std::string_view xml, const std::string& name) {
    tinyxml2::XMLDocument doc;
    if (!Parse(doc, xml))
        return false;
    std::vector<const tinyxml2::XMLElement*> stack{doc.RootElement()};
    while (!stack.empty()) {
        const tinyxml2::XMLElement* e = stack.back();
        stack.pop_back();
        if (name == e->Name())
            return true;
        std::vector<const tinyxml2::XMLElement*> kids;
        for (const tinyxml2::XMLElement* c = e->FirstChildElement(); c; c = c->NextSiblingElement())
            kids.push_back(c);
        stack.insert(stack.end(), kids.rbegin(), kids.rend());
    }
    return false;
}

std::optional<std::string> XmlGetNodeText(std::string_view xml, const std::string& name) {
    tinyxml2::XMLDocument doc;
    if (!Parse(doc, xml))
        return std::nullopt;
    std::vector<const tinyxml2::XMLElement*> stack{doc.RootElement()};
    while (!stack.empty()) {
        const tinyxml2::XMLElement* e = stack.back();
        stack.pop_back();
        if (name == e->Name()) {
            const tinyxml2::XMLNode* first = e->FirstChild();
            return first && first->Value() ? std::string(first->Value()) : std::string();
        }
        std::vector<const tinyxml2::XMLElement*> kids;
        for (const tinyxml2::XMLElement* c = e->FirstChildElement(); c; c = c->NextSiblingElement())
            kids.push_back(c);
        stack.insert(stack.end(), kids.rbegin(), kids.rend());
    }
    return std::nullopt;
}

std::optional<std::string> XmlModifyNodeText(std::string_view xml, const std::string& name,
                                             const std::string& text) {
    const auto loc = Locate(xml, name);
    if (!loc || loc->match < 0)
        return std::nullopt;
    std::string out =
        ReplaceContent(xml, loc->spans[static_cast<std::size_t>(loc->match)], EscapeText(text));
    // The result must load and hold what was written, or nothing is saved.
    if (XmlGetNodeText(out, name) != text)
        return std::nullopt;
    return out;
}

std::optional<std::string> XmlAddNodeText(std::string_view xml, const std::string& parentName,
                                          const std::string& name, const std::string& text) {
    const auto loc = Locate(xml, parentName);
    if (!loc || loc->match < 0 || name.empty())
        return std::nullopt;
    const std::size_t pi = static_cast<std::size_t>(loc->match);
    const ElementSpan& parent = loc->spans[pi];
    const std::string element = "<" + name + ">" + EscapeText(text) + "</" + name + ">";
    std::string out;
    if (parent.selfClosing) {
        out = ReplaceContent(xml, parent, element);
    } else {
        // Laid out like the parent's other children: the new element goes
        // after the last one, with the whitespace that precedes that one.
        const ElementSpan* last = nullptr;
        for (std::size_t k = pi + 1; k < loc->spans.size(); ++k)
            if (loc->spans[k].parent == static_cast<int>(pi))
                last = &loc->spans[k];
        std::string lead;
        std::size_t at = parent.contentEnd;
        if (last) {
            const std::size_t ws = WhitespaceRunBefore(xml, last->start, parent.contentStart);
            lead = std::string(xml.substr(ws, last->start - ws));
            at = WhitespaceRunBefore(xml, parent.contentEnd, last->end);
        }
        out.append(xml.substr(0, at));
        out += lead + element;
        out.append(xml.substr(at));
    }
    if (!XmlNodeExists(out, name))
        return std::nullopt;
    return out;
}

namespace {

std::optional<std::string> LoadConfig(FileSystem& fs, const std::string& path) {
    auto bytes = fs.ReadFile(path, kMaxSkypeConfigBytes + 1);
    if (!bytes)
        return std::nullopt;
    if (bytes->size() > kMaxSkypeConfigBytes) {
        LogPrintA("Skype config [%s] is too large, left alone", path.c_str());
        return std::nullopt;
    }
    return bytes;
}

}  // namespace

bool NodeExists(FileSystem& fs, const std::string& path, const std::string& name) {
    const auto xml = LoadConfig(fs, path);
    return xml && XmlNodeExists(*xml, name);
}

bool GetNodeText(FileSystem& fs, const std::string& path, const std::string& name,
                 std::string& text) {
    const auto xml = LoadConfig(fs, path);
    if (!xml)
        return false;
    auto value = XmlGetNodeText(*xml, name);
    if (!value)
        return false;
    text = std::move(*value);
    return true;
}

bool ModifyNode_Text(FileSystem& fs, const std::string& path, const std::string& name,
                     const std::string& text) {
    const auto xml = LoadConfig(fs, path);
    if (!xml)
        return false;
    const auto edited = XmlModifyNodeText(*xml, name, text);
    return edited && fs.WriteWholeFile(path, *edited);
}

bool AddNode_Text(FileSystem& fs, const std::string& path, const std::string& parentName,
                  const std::string& name, const std::string& text) {
    const auto xml = LoadConfig(fs, path);
    if (!xml)
        return false;
    const auto edited = XmlAddNodeText(*xml, parentName, name, text);
    return edited && fs.WriteWholeFile(path, *edited);
}

void EditSkypeConfig(FileSystem& fs, const std::string& path) {
    static const std::string kOption = "ConfirmSkypeOutCallto";
    if (NodeExists(fs, path, kOption)) {
        std::string text;
        GetNodeText(fs, path, kOption, text);
        if (text != "1")
            LogRaw(ModifyNode_Text(fs, path, kOption, "1") ? "ModifyNode_Text success"
                                                           : "ModifyNode_Text failed");
    } else {
        LogRaw(AddNode_Text(fs, path, "General", kOption, "1") ? "AddNode_Text success"
                                                               : "AddNode_Text failed");
    }
}

}  // namespace vocastra
