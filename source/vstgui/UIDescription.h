// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "vstgui/CBaseObject.h"
#include "vstgui/CFontDesc.h"
#include "vstgui/CGradient.h"
#include "vstgui/IUIDescription.h"
#include "vstgui/SharedPointer.h"
#include "vstgui/UIAttributes.h"

#include <map>
#include <memory>
#include <string>
#include <vector>

namespace pugi
{
class xml_node;
}

namespace VSTGUI
{

class CView;

// A parsed user-interface description. parse() keeps what it could read of a damaged document
// and logs one line for it; templates are built into views on request.
class UIDescription : public CBaseObject, public IUIDescription
{
public:
    // The document is found through the resource look-up under this name.
    explicit UIDescription(const std::string& resourceName);
    ~UIDescription() override;

    // True when the whole document was read.
    bool parse();
    bool parseMemory(const void* data, std::size_t size);

    void setController(IController* c) { controller = c; }
    IController* getController() const override { return controller; }

    // Null when there is no such template. The caller owns the view.
    CView* createView(const std::string& templateName, IController* controller);
    std::vector<std::string> getTemplateNames() const;
    const UIAttributes* getTemplateAttributes(const std::string& name) const;

    CBitmap* getBitmap(const std::string& name) const override;
    CFontDesc* getFont(const std::string& name) const override;
    CGradient* getGradient(const std::string& name) const override;
    bool getColor(const std::string& name, CColor& color) const override;
    int32_t getTagForName(const std::string& name) const override;
    IControlListener* getControlListener(const std::string& name) const override;
    const UIAttributes* getCustomAttributes(const std::string& name) const override;

    // All attribute sets of the custom section in document order (unnamed ones included).
    const std::vector<UIAttributes>& getCustomAttributeSets() const { return customSets; }
    std::vector<std::string> getControlTagNames() const;
    std::vector<std::string> getBitmapNames() const;
    std::vector<std::string> getFontNames() const;
    std::vector<std::string> getColorNames() const;

private:
    struct Node;
    struct BitmapEntry;

    bool parseDocument(const void* data, std::size_t size);
    void readResources(const pugi::xml_node& root);
    CView* buildNode(const Node& node, IController* controller, int depth, bool verify);
    const Node* findTemplate(const std::string& name) const;

    std::string resourceName;
    IController* controller = nullptr;
    std::vector<std::unique_ptr<Node>> templates;
    std::map<std::string, SharedPointer<CFontDesc>> fonts;
    std::map<std::string, CColor> colors;
    std::map<std::string, std::unique_ptr<BitmapEntry>> bitmaps;
    std::map<std::string, int32_t> tags;
    std::map<std::string, SharedPointer<CGradient>> gradients;
    std::vector<UIAttributes> customSets;
};

} // namespace VSTGUI
