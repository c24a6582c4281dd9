#include "mac/xml_element.h"

#include <libxml/parser.h>
#include <libxml/tree.h>

#include <climits>

namespace glyphoria::mac {

namespace {

void Fail(MacError* error, long code, const std::string& text) {
    if (!error) return;
    error->domain = "XMLParser";
    error->code = code;
    error->localized_description = text;
}

std::string NameOf(const xmlNode* node) {
    std::string name = reinterpret_cast<const char*>(node->name);
    if (node->ns && node->ns->prefix)
        name = reinterpret_cast<const char*>(node->ns->prefix) + (":" + name);
    return name;
}

std::string Trimmed(const char* message) {
    std::string text = message ? message : "unknown error";
    while (!text.empty() && (text.back() == '\n' || text.back() == ' '))
        text.pop_back();
    return text;
}

}  // namespace

bool ParseXmlRoot(const std::string& text, XmlRoot* root, MacError* error) {
    if (text.size() > static_cast<std::size_t>(INT_MAX)) {
        Fail(error, 1, "The document is too large.");
        return false;
    }
    xmlParserCtxtPtr ctxt = xmlNewParserCtxt();
    if (!ctxt) {
        Fail(error, 2, "Out of memory.");
        return false;
    }
    xmlDocPtr doc = xmlCtxtReadMemory(
        ctxt, text.data(), static_cast<int>(text.size()), nullptr, nullptr,
        XML_PARSE_NONET | XML_PARSE_NOERROR | XML_PARSE_NOWARNING | XML_PARSE_NOCDATA);
    bool ok = false;
    if (!doc) {
        const xmlError* e = xmlCtxtGetLastError(ctxt);
        Fail(error, e ? e->code : 3,
             "The XML text is not well-formed: line " + std::to_string(e ? e->line : 0) + ": " +
                 Trimmed(e ? e->message : nullptr));
    } else if (doc->intSubset || doc->extSubset) {
        Fail(error, 4, "The XML text carries a document type declaration, which is not accepted.");
    } else if (!xmlDocGetRootElement(doc)) {
        Fail(error, 5, "The XML text holds no element.");
    } else {
        const xmlNode* top = xmlDocGetRootElement(doc);
        XmlRoot out;
        out.name = NameOf(top);
        for (const xmlNode* child = top->children; child; child = child->next) {
            if (child->type != XML_ELEMENT_NODE) continue;
            xmlChar* content = xmlNodeGetContent(child);
            out.children.push_back(
                {NameOf(child), content ? reinterpret_cast<const char*>(content) : ""});
            xmlFree(content);
        }
        *root = std::move(out);
        ok = true;
    }
    if (doc) xmlFreeDoc(doc);
    xmlFreeParserCtxt(ctxt);
    return ok;
}

}  // namespace glyphoria::mac
