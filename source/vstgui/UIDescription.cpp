// SPDX-License-Identifier: GPL-3.0-or-later
#include "vstgui/UIDescription.h"

#include "vstgui/CBitmap.h"
#include "vstgui/CControl.h"
#include "vstgui/CNinePartTiledBitmap.h"
#include "vstgui/CViewContainer.h"
#include "vstgui/IController.h"
#include "vstgui/Log.h"
#include "vstgui/Resources.h"
#include "vstgui/UIViewFactory.h"

#include <pugixml.hpp>

#include <cmath>

namespace VSTGUI
{

namespace
{

// Deeper nesting than this is a template that includes itself.
constexpr int kMaxDepth = 32;

UIAttributes attributesOf(const pugi::xml_node& node)
{
    UIAttributes attributes;
    for (const pugi::xml_attribute& a : node.attributes())
        attributes.setAttribute(a.name(), a.value());
    return attributes;
}

const std::string& textOr(const UIAttributes& attributes, const char* name, const std::string& fallback)
{
    const std::string* v = attributes.getAttributeValue(name);
    return v ? *v : fallback;
}

} // namespace

struct UIDescription::Node
{
    UIAttributes attributes;
    std::vector<std::unique_ptr<Node>> children;

    static std::unique_ptr<Node> read(const pugi::xml_node& element, int depth)
    {
        auto node = std::make_unique<Node>();
        node->attributes = attributesOf(element);
        if (depth < kMaxDepth)
        {
            for (const pugi::xml_node& child : element.children("view"))
                node->children.push_back(read(child, depth + 1));
        }
        return node;
    }
};

struct UIDescription::BitmapEntry
{
    std::string path;
    bool ninePart = false;
    CNinePartTiledDescription offsets;
    mutable SharedPointer<CBitmap> bitmap;
    mutable bool tried = false;
};

UIDescription::UIDescription(const std::string& resourceName) : resourceName(resourceName) {}

UIDescription::~UIDescription() = default;

bool UIDescription::parse()
{
    ResourceData data = findResource(resourceName);
    if (!data.data)
    {
        logLine("UIDescription: resource \"" + resourceName + "\" not found");
        return false;
    }
    return parseDocument(data.data, data.size);
}

bool UIDescription::parseMemory(const void* data, std::size_t size)
{
    return parseDocument(data, size);
}

bool UIDescription::parseDocument(const void* data, std::size_t size)
{
    templates.clear();
    fonts.clear();
    colors.clear();
    bitmaps.clear();
    tags.clear();
    gradients.clear();
    customSets.clear();
    if (!data || size == 0)
    {
        logLine("UIDescription: \"" + resourceName + "\" is empty");
        return false;
    }
    pugi::xml_document document;
    const pugi::xml_parse_result result = document.load_buffer(data, size);
    // pugixml keeps what it read before an error; build from that.
    pugi::xml_node root = document.child("vstgui-ui-description");
    if (root)
        readResources(root);
    if (!result)
    {
        logLine("UIDescription: \"" + resourceName + "\" damaged at byte "
                + std::to_string(result.offset) + ": " + result.description());
        return false;
    }
    if (!root)
    {
        logLine("UIDescription: \"" + resourceName + "\" has no vstgui-ui-description root");
        return false;
    }
    return true;
}

void UIDescription::readResources(const pugi::xml_node& root)
{
    for (const pugi::xml_node& section : root.children())
    {
        const std::string name = section.name();
        if (name == "fonts")
        {
            for (const pugi::xml_node& f : section.children("font"))
            {
                const UIAttributes a = attributesOf(f);
                const std::string* fontName = a.getAttributeValue("name");
                if (!fontName)
                    continue;
                double size = 12;
                if (!a.getDoubleAttribute("size", size) || !(size > 0 && size < 1000))
                    size = 12;
                int32_t style = kNormalFace;
                bool flag = false;
                if (a.getBooleanAttribute("bold", flag) && flag)
                    style |= kBoldFace;
                if (a.getBooleanAttribute("italic", flag) && flag)
                    style |= kItalicFace;
                if (a.getBooleanAttribute("underline", flag) && flag)
                    style |= kUnderlineFace;
                if (a.getBooleanAttribute("strike-through", flag) && flag)
                    style |= kStrikethroughFace;
                fonts[*fontName] = makeOwned<CFontDesc>(textOr(a, "font-name", "Arial"), size, style);
            }
        }
        else if (name == "colors")
        {
            for (const pugi::xml_node& c : section.children("color"))
            {
                CColor color;
                std::string value = c.attribute("rgba").value();
                if (value.empty())
                    value = c.attribute("rgb").value();
                if (color.fromString(value) && !c.attribute("name").empty())
                    colors[c.attribute("name").value()] = color;
            }
        }
        else if (name == "bitmaps")
        {
            for (const pugi::xml_node& b : section.children("bitmap"))
            {
                const UIAttributes a = attributesOf(b);
                const std::string* bitmapName = a.getAttributeValue("name");
                if (!bitmapName)
                    continue;
                auto entry = std::make_unique<BitmapEntry>();
                entry->path = textOr(a, "path", *bitmapName);
                double o[4];
                const std::string* offsets = a.getAttributeValue("nineparttiled-offsets");
                if (offsets && UIAttributes::stringToNumbers(*offsets, o, 4))
                {
                    entry->ninePart = true;
                    entry->offsets = {std::max(0.0, o[0]), std::max(0.0, o[1]), std::max(0.0, o[2]),
                                      std::max(0.0, o[3])};
                }
                bitmaps[*bitmapName] = std::move(entry);
            }
        }
        else if (name == "control-tags")
        {
            for (const pugi::xml_node& t : section.children("control-tag"))
            {
                int32_t tag = 0;
                if (!t.attribute("name").empty()
                    && UIAttributes::stringToInteger(t.attribute("tag").value(), tag))
                    tags[t.attribute("name").value()] = tag;
            }
        }
        else if (name == "gradients")
        {
            for (const pugi::xml_node& g : section.children("gradient"))
            {
                auto gradient = makeOwned<CGradient>();
                for (const pugi::xml_node& stop : g.children("color-stop"))
                {
                    CColor color;
                    double start = 0;
                    if (color.fromString(stop.attribute("rgba").value())
                        && UIAttributes::stringToDouble(stop.attribute("start").value(), start))
                        gradient->addColorStop(start, color);
                }
                if (!g.attribute("name").empty())
                    gradients[g.attribute("name").value()] = gradient;
            }
        }
        else if (name == "custom")
        {
            for (const pugi::xml_node& a : section.children("attributes"))
                customSets.push_back(attributesOf(a));
        }
        else if (name == "template")
        {
            templates.push_back(Node::read(section, 0));
        }
    }
}

const UIDescription::Node* UIDescription::findTemplate(const std::string& name) const
{
    for (const auto& t : templates)
    {
        const std::string* n = t->attributes.getAttributeValue("name");
        if (n && *n == name)
            return t.get();
    }
    return nullptr;
}

std::vector<std::string> UIDescription::getTemplateNames() const
{
    std::vector<std::string> names;
    for (const auto& t : templates)
        names.push_back(textOr(t->attributes, "name", ""));
    return names;
}

const UIAttributes* UIDescription::getTemplateAttributes(const std::string& name) const
{
    const Node* node = findTemplate(name);
    return node ? &node->attributes : nullptr;
}

CView* UIDescription::createView(const std::string& templateName, IController* viewController)
{
    const Node* node = findTemplate(templateName);
    if (!node)
    {
        logLine("UIDescription: no template \"" + templateName + "\"");
        return nullptr;
    }
    IController* previous = controller;
    controller = viewController;
    CView* view = buildNode(*node, viewController, 0, true);
    controller = previous;
    return view;
}

CView* UIDescription::buildNode(const Node& node, IController* nodeController, int depth,
                               bool verify)
{
    if (depth > kMaxDepth)
    {
        logLine("UIDescription: templates nested too deeply");
        return nullptr;
    }
    const UIAttributes& attributes = node.attributes;
    static const std::string empty;

    // Asked first, so a template this node uses is built for the sub-controller too.
    IController* childController = nodeController;
    IController* sub = nullptr;
    const std::string& subName = textOr(attributes, "sub-controller", empty);
    if (!subName.empty() && nodeController)
    {
        sub = nodeController->createSubController(subName.c_str(), this);
        if (sub)
            childController = sub;
    }

    CView* view = nullptr;
    // A view that names another template is that template's view with this node's attributes.
    const std::string& templateName = textOr(attributes, "template", empty);
    const std::string* ownName = attributes.getAttributeValue("name");
    if (!templateName.empty() && !(ownName && *ownName == templateName && depth == 0))
    {
        const Node* t = findTemplate(templateName);
        if (!t || t == &node)
        {
            logLine("UIDescription: no template \"" + templateName + "\"");
            delete sub;
            return nullptr;
        }
        view = buildNode(*t, childController, depth + 1, false);
        if (!view)
        {
            delete sub;
            return nullptr;
        }
    }

    if (!view && nodeController && !textOr(attributes, "custom-view-name", empty).empty())
        view = nodeController->createView(attributes, this);
    if (!view)
    {
        const std::string& className = textOr(attributes, "class", empty);
        view = UIViewFactory::createView(className.empty() && depth == 0 ? "CViewContainer" : className);
        if (!view)
        {
            logLine("UIDescription: unknown view class \"" + className + "\"");
            delete sub;
            return nullptr;
        }
    }
    if (sub)
        view->setOwnedController(sub);

    UIViewFactory::applyAttributes(view, attributes, *this);

    if (auto* control = dynamic_cast<CControl*>(view))
    {
        if (const std::string* tagName = attributes.getAttributeValue("control-tag"))
        {
            int32_t tag = tagName->empty() ? -1 : getTagForName(*tagName);
            if (nodeController)
                tag = nodeController->getTagForName(tagName->c_str(), tag);
            if (nodeController && !tagName->empty())
                control->setListener(nodeController->getControlListener(tagName->c_str()));
            control->setTag(tag);
        }
    }

    if (auto* container = dynamic_cast<CViewContainer*>(view))
    {
        for (const auto& child : node.children)
        {
            if (CView* childView = buildNode(*child, childController, depth + 1, true))
            {
                if (!container->addView(childView))
                    childView->forget();
            }
        }
    }

    // A template used by a node is verified once, as that node.
    if (verify && nodeController)
    {
        if (CView* verified = nodeController->verifyView(view, attributes, this))
            view = verified;
    }
    return view;
}

CBitmap* UIDescription::getBitmap(const std::string& name) const
{
    auto found = bitmaps.find(name);
    if (found == bitmaps.end())
        return nullptr;
    const BitmapEntry& entry = *found->second;
    if (!entry.tried)
    {
        entry.tried = true;
        SharedPointer<CBitmap> bitmap =
            entry.ninePart ? SharedPointer<CBitmap>::adopt(new CNinePartTiledBitmap(entry.path, entry.offsets))
                           : makeOwned<CBitmap>(entry.path);
        if (bitmap->isLoaded())
            entry.bitmap = bitmap;
        else
            logLine("UIDescription: bitmap \"" + name + "\" (" + entry.path + ") could not be loaded");
    }
    return entry.bitmap.get();
}

CFontDesc* UIDescription::getFont(const std::string& name) const
{
    auto found = fonts.find(name);
    if (found != fonts.end())
        return found->second.get();
    return findBuiltinFont(name);
}

CGradient* UIDescription::getGradient(const std::string& name) const
{
    auto found = gradients.find(name);
    return found != gradients.end() ? found->second.get() : nullptr;
}

bool UIDescription::getColor(const std::string& name, CColor& color) const
{
    auto found = colors.find(name);
    if (found != colors.end())
    {
        color = found->second;
        return true;
    }
    if (findBuiltinColor(name, color))
        return true;
    return color.fromString(name);
}

int32_t UIDescription::getTagForName(const std::string& name) const
{
    auto found = tags.find(name);
    if (found != tags.end())
        return found->second;
    int32_t tag = -1;
    if (UIAttributes::stringToInteger(name, tag))
        return tag;
    return -1;
}

IControlListener* UIDescription::getControlListener(const std::string& name) const
{
    return controller ? controller->getControlListener(name.c_str()) : nullptr;
}

const UIAttributes* UIDescription::getCustomAttributes(const std::string& name) const
{
    for (const UIAttributes& set : customSets)
    {
        const std::string* n = set.getAttributeValue("name");
        if (n && *n == name)
            return &set;
    }
    return nullptr;
}

std::vector<std::string> UIDescription::getControlTagNames() const
{
    std::vector<std::string> names;
    for (const auto& t : tags)
        names.push_back(t.first);
    return names;
}

std::vector<std::string> UIDescription::getBitmapNames() const
{
    std::vector<std::string> names;
    for (const auto& b : bitmaps)
        names.push_back(b.first);
    return names;
}

std::vector<std::string> UIDescription::getFontNames() const
{
    std::vector<std::string> names;
    for (const auto& f : fonts)
        names.push_back(f.first);
    return names;
}

std::vector<std::string> UIDescription::getColorNames() const
{
    std::vector<std::string> names;
    for (const auto& c : colors)
        names.push_back(c.first);
    return names;
}

} // namespace VSTGUI
