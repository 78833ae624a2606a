// XmlEngineActions.cpp: Execute_Action of the wizard's script engine: follows a step's link or runs
// the handler its action word names, looked up in one table.
#include "wizard/core/XmlEngine.h"

#include <optional>
#include <string_view>
#include <unordered_map>

#include <pugixml.hpp>

#include "platform/MessageBox.h"
#include "wizard/core/ActionPrimitives.h"
#include "wizard/core/LogFile.h"
#include "wizard/core/ScriptVariables.h"
#include "wizard/core/TextUtil.h"

namespace wizard {

using coretext::lowerAscii;
using coretext::splitAll;
using coretext::trimBlanks;

namespace {

// The text of an element and everything below it, as the scripts' DOM reading gives it.
std::string elementText(const pugi::xml_node& node)
{
    std::string text;
    for (pugi::xml_node n = node.first_child(); n; n = n.next_sibling()) {
        if (n.type() == pugi::node_pcdata || n.type() == pugi::node_cdata)
            text += n.value();
        else if (n.type() == pugi::node_element)
            text += elementText(n);
    }
    return text;
}

// The text of the first direct child element `name` of a step; "" when there is none.
std::string childText(const pugi::xml_node& step, const char* name)
{
    pugi::xml_node child = step.child(name);
    return child ? elementText(child) : std::string();
}

} // namespace

// One step as its action handler reads it: the step's elements, with script variables resolved
// where the action takes a path, and the transfer primitives to call.
struct XmlEngine::ActionStep {
    ActionStep(const pugi::xml_node& step, const std::string& direction, ScriptVariables& variables,
        ActionPrimitives* primitives)
        : node(step)
        , direction(direction)
        , name(trimBlanks(childText(step, "name")))
        , m_variables(variables)
        , m_primitives(primitives)
    {}

    // The text of `element` as written.
    std::string text(const char* element) const { return childText(node, element); }
    // The trimmed text of `element` lower-cased (kinds and types).
    std::string word(const char* element) const { return lowerAscii(trimBlanks(text(element))); }
    // The trimmed text of `element` with its variables resolved; an unset one marks the step bad.
    std::string resolved(const char* element) { return resolve(trimBlanks(text(element))); }
    // As resolved(), lower-cased before the variables are resolved.
    std::string resolvedLower(const char* element) { return resolve(trimBlanks(lowerAscii(text(element)))); }
    // Resolves the variables of a text that is no path: an unset one leaves the step good.
    std::string resolvedText(const std::string& value) const
    {
        bool unresolved = false;
        return m_variables.resolve(value, unresolved);
    }
    // The items of the step's name ("a|b|c"), empty ones left out.
    std::vector<std::string> items() const
    {
        std::vector<std::string> out;
        for (std::string& item : splitAll(name, '|'))
            if (!item.empty())
                out.push_back(std::move(item));
        return out;
    }
    // The transfer primitives; without any, a set that fails every call.
    ActionPrimitives& act()
    {
        if (m_primitives)
            return *m_primitives;
        if (!m_fallback)
            m_fallback.emplace();
        return *m_fallback;
    }

    const pugi::xml_node& node;
    const std::string& direction;
    const std::string name; // the trimmed text of <name>
    bool bad = false;       // a path lost an unset variable: the action must not run on it

private:
    std::string resolve(const std::string& value)
    {
        bool unresolved = false;
        std::string out = m_variables.resolve(value, unresolved);
        bad = bad || unresolved;
        return out;
    }

    ScriptVariables& m_variables;
    ActionPrimitives* m_primitives;
    std::optional<ActionPrimitives> m_fallback;
};

void XmlEngine::Execute_Action(const pugi::xml_node& step, const std::string& direction)
{
    const std::string link = trimBlanks(lowerAscii(step.attribute("link").value()));
    if (!link.empty()) {
        if (linkRefused(link))
            return;
        // The linking script's position stays at this step, also inside a linked or item script,
        // so that the script resumes after the link when the linked script ends.
        CurrentScript = link;
        runScript("");
        return;
    }

    using Handler = void (XmlEngine::*)(ActionStep&);
    static const std::unordered_map<std::string_view, Handler> kHandlers = {
        {"execute", &XmlEngine::actionExecute},
        {"copy", &XmlEngine::actionCopy},
        {"move", &XmlEngine::actionMove},
        {"delete", &XmlEngine::actionDelete},
        {"update_registry", &XmlEngine::actionUpdateRegistry},
        {"rename", &XmlEngine::actionRename},
        {"replace", &XmlEngine::actionReplace},
        {"get", &XmlEngine::actionGet},
        {"import", &XmlEngine::actionImport},
        {"export", &XmlEngine::actionExport},
        {"get_file", &XmlEngine::actionGetFile},
        {"file_type_copy", &XmlEngine::actionFileTypeCopy},
        {"msgbox", &XmlEngine::actionMsgbox},
    };
    // Any other action word does nothing.
    const auto handler = kHandlers.find(lowerAscii(trimBlanks(childText(step, "action"))));
    if (handler == kHandlers.end())
        return;
    ActionStep reading(step, direction, m_variables, m_primitives);
    (this->*handler->second)(reading);
}

void XmlEngine::actionExecute(ActionStep& s) { runExecute(s.name, s.direction); }

void XmlEngine::actionCopy(ActionStep& s)
{
    const std::string from = s.resolved("from");
    const std::string to = s.resolved("to");
    const std::string type = s.word("type");
    const std::string failure =
        from + "\\" + s.name + " file not copied, the file/Folder may be corrupted or currently being used!";
    ActionPrimitives& act = s.act();
    for (const std::string& item : s.items()) {
        bool ok = false;
        if (s.bad)
            ok = false;
        else if (type == "rfile")
            ok = act.ModOtherApplications_Action_Copy_File(from + "\\" + item, to + "\\" + item, "False");
        else
            ok = act.Action_Copy(item, from, to, type, "False");
        if (!ok)
            report(failure);
    }
    if (type == "rfolder")
        for (const std::string& item : s.items())
            if (s.bad ||
                !act.ModOtherApplications_Action_Copy_Folder(from + "\\" + item, to + "\\" + item, "False"))
                report(failure);
}

void XmlEngine::actionMove(ActionStep& s)
{
    const std::string from = s.resolvedLower("from");
    const std::string to = s.resolvedLower("to");
    const std::string type = s.word("type");
    for (const std::string& item : s.items())
        if (s.bad || !s.act().Action_Move(item, from, to, type, "False"))
            report(from + "\\" + s.name +
                " file not moved, the file/Folder may be corrupted or currently being used!");
}

void XmlEngine::actionDelete(ActionStep& s)
{
    const std::string from = s.resolvedLower("from");
    const std::string type = s.word("type");
    for (const std::string& item : s.items()) {
        // A failed delete is not reported; a path that lost a variable is not deleted at all.
        if (s.bad)
            report(from + "\\" + s.name + " file not deleted, this file/Folder may currently being used!");
        else
            s.act().Action_Delete(from + "\\" + item, type);
    }
}

void XmlEngine::actionUpdateRegistry(ActionStep& s)
{
    const std::string from = s.resolvedLower("from");
    for (const std::string& item : s.items())
        if (s.bad || !s.act().Action_Update_Registry(from + "\\" + item))
            report(from + "\\" + s.name + " file not able to update");
}

void XmlEngine::actionRename(ActionStep& s)
{
    const std::string from = s.resolvedLower("from");
    const std::string to = s.resolvedLower("to");
    if (s.bad || !s.act().Action_Rename(from + "\\" + s.name, to))
        report(from + "\\" + s.name + " file not deleted, this file/Folder may currently being used!");
}

void XmlEngine::actionReplace(ActionStep& s)
{
    // The search and replacement texts may lose a variable and still run.
    const std::string search = s.resolvedText(trimBlanks(s.text("search")));
    const std::string replacement = s.resolvedText(trimBlanks(s.text("replace")));
    const std::string from = s.resolvedLower("from");
    for (const std::string& item : s.items())
        if (s.bad || !s.act().Action_Replace(from + "\\" + item, search, replacement))
            report(from + "\\" + s.name + " file not deleted, this file/Folder may currently being used!");
}

void XmlEngine::actionGet(ActionStep& s)
{
    const std::string key = s.text("key");
    if (!s.act().Action_Get(key, s.name, s.text("from")))
        logReport(key, s.name);
}

void XmlEngine::actionImport(ActionStep& s)
{
    const std::string key = s.text("key");
    for (const std::string& item : s.items())
        if (!s.act().Action_Import(key, item))
            logReport(key, s.name);
}

void XmlEngine::actionExport(ActionStep& s)
{
    const std::string key = s.text("key");
    if (!s.act().Action_Export(key, s.name))
        logReport(key, s.name);
}

void XmlEngine::actionGetFile(ActionStep& s)
{
    const std::string key = s.text("key");
    if (!s.act().Action_Get_File(key, s.name, ""))
        logReport(key, s.name);
}

void XmlEngine::actionFileTypeCopy(ActionStep& s)
{
    const std::string from = s.resolvedLower("from");
    if (s.bad || !s.act().Action_File_Type_Copy(from, s.name))
        logReport("", s.name);
}

void XmlEngine::actionMsgbox(ActionStep& s)
{
    // The text is shown as written; the kind letter matches in either case.
    const std::string text = s.resolvedText(s.name);
    const std::string kind = coretext::upperAscii(s.resolvedText(trimBlanks(lowerAscii(s.text("type")))));
    if (!s.act().Action_Msgbox(text, kind))
        logReport("", s.name);
}

} // namespace wizard
