#include "scene/x3d_tree.h"

#include "base/xml_front_end.h"

namespace xmo {

const std::string* X3dElement::attribute(std::string_view key) const {
    for (const auto& a : attributes)
        if (a.first == key) return &a.second;
    return nullptr;
}

namespace {

class X3dTreeBuilder final : public XmlElementHandler {
public:
    X3dTreeBuilder(const std::string& fileName, Diagnostics& diagnostics)
        : fileName_(fileName), diagnostics_(diagnostics), xml_(fileName, *this) {}

    X3dTree parseFile() { return finish(xml_.parseFile("scene file")); }
    X3dTree parseText(std::string_view text) { return finish(xml_.parseText(text)); }

private:
    X3dTree finish(const std::optional<XmlSyntaxProblem>& problem) {
        X3dTree tree;
        tree.root = std::move(root_);
        if (problem) {
            tree.syntaxError = problem->message();
            diagnostics_.report(DiagnosticKind::ParseError, fileName_, problem->line,
                                problem->text + "; the scene read up to here is kept");
        }
        return tree;
    }

    void startElement(const char* name, const char** attributes) override {
        if (skipDepth_ > 0) {
            ++skipDepth_;
            return;
        }
        if (static_cast<int>(open_.size()) >= kMaxX3dDepth) {
            diagnostics_.report(DiagnosticKind::MisplacedElement, fileName_, xml_.currentLine(),
                                std::string("\"") + name + "\" nested deeper than " + std::to_string(kMaxX3dDepth) +
                                    " elements; the element is skipped");
            skipDepth_ = 1;
            return;
        }
        auto element = std::make_unique<X3dElement>();
        element->name = name;
        element->line = xml_.currentLine();
        for (const char** a = attributes; *a; a += 2) element->attributes.emplace_back(a[0], a[1]);
        X3dElement* opened = element.get();
        if (open_.empty()) root_ = std::move(element);
        else open_.back()->children.push_back(std::move(element));
        open_.push_back(opened);
    }

    void endElement(const char*) override {
        if (skipDepth_ > 0) --skipDepth_;
        else if (!open_.empty()) open_.pop_back();
    }

    const std::string& fileName_;
    Diagnostics& diagnostics_;
    XmlFrontEnd xml_;
    std::unique_ptr<X3dElement> root_;
    std::vector<X3dElement*> open_;
    int skipDepth_ = 0;
};

}  // namespace

X3dTree readX3dTree(const std::string& fileName, Diagnostics& diagnostics) {
    return X3dTreeBuilder(fileName, diagnostics).parseFile();
}

X3dTree readX3dText(std::string_view text, const std::string& fileName, Diagnostics& diagnostics) {
    return X3dTreeBuilder(fileName, diagnostics).parseText(text);
}

}  // namespace xmo
