// XmlEngine.cpp: Step_Script, the script runs and Show_Panel of the wizard's script engine (the
// actions of the steps are in XmlEngineActions.cpp).
#include "wizard/core/XmlEngine.h"

#include <algorithm>
#include <charconv>
#include <exception>

#include <pugixml.hpp>

#include "platform/CodePage.h"
#include "platform/MessageBox.h"
#include "wizard/core/ActionPrimitives.h"
#include "wizard/core/AppPath.h"
#include "wizard/core/CoreFiles.h"
#include "wizard/core/LogFile.h"
#include "wizard/core/PanelHost.h"
#include "wizard/core/ProgramEnd.h"
#include "wizard/core/RulesTable.h"
#include "wizard/core/ScriptDecryptor.h"
#include "wizard/core/ScriptVariables.h"
#include "wizard/core/TextUtil.h"
#include "wizard/core/WizardWindows.h"

namespace wizard {

using coretext::lowerAscii;
using coretext::replaceAll;
using coretext::splitAll;
using coretext::trimBlanks;

namespace {

std::optional<int> toInt(std::string_view text)
{
    std::string t = trimBlanks(text);
    int value = 0;
    auto [end, ec] = std::from_chars(t.data(), t.data() + t.size(), value);
    if (ec != std::errc() || end != t.data() + t.size() || t.empty())
        return std::nullopt;
    return value;
}

// The number of direct children of a step that are steps themselves (name compared lower-cased).
int childStepCount(const pugi::xml_node& step)
{
    int count = 0;
    for (pugi::xml_node child = step.first_child(); child; child = child.next_sibling())
        if (child.type() == pugi::node_element && lowerAscii(child.name()) == "performaction")
            ++count;
    return count;
}

std::string afterLastBar(const std::string& text)
{
    const std::size_t bar = text.rfind('|');
    return bar == std::string::npos ? text : text.substr(bar + 1);
}

struct DepthGuard {
    explicit DepthGuard(int& depth)
        : m_depth(depth)
    {
        ++m_depth;
    }
    ~DepthGuard() { --m_depth; }
    int& m_depth;
};

} // namespace

XmlEngine::XmlEngine(CoreFiles& files, ScriptVariables& variables, ScriptDecryptor& decryptor, LogFile& log)
    : m_files(files)
    , m_variables(variables)
    , m_decryptor(decryptor)
    , m_log(log)
{}

XmlEngine::~XmlEngine() = default;

std::optional<std::string> XmlEngine::historyEntry(const std::vector<std::string>& entries, int number)
{
    if (number < 1 || number > static_cast<int>(entries.size()))
        return std::nullopt;
    return entries[static_cast<std::size_t>(number - 1)];
}

bool XmlEngine::Step_Script(const std::string& direction)
{
    if (m_depth > 0 && direction != kDirectionItem) {
        ++m_ignoredCalls;
        return false;
    }
    DepthGuard guard(m_depth);
    const bool itemRun = direction == kDirectionItem;
    if (itemRun) {
        m_itemScripts.push_back(CurrentScript);
        m_itemRefusal.clear();
        m_itemEnded = false;
    }
    // Where a top-level click started: the end of the main script puts the wizard back here.
    const Position before{CurrentScript, ScriptStack, ActionIndex, HistoryStep};
    if (!itemRun) {
        m_reachedEnd = false;
        m_refused = false;
    }
    try {
        runScript(direction);
        if (!itemRun && m_reachedEnd && !before.script.empty())
            stayAtEnd(before);
        // A check that refused a Next keeps the page on screen as the current one, so that the
        // next Next runs the check again and Previous goes back exactly one page.
        if (!itemRun && m_refused && direction == kDirectionNext && !before.script.empty())
            restore(before);
    } catch (const std::exception& error) {
        // A bug or exhausted memory inside a step: stop and wait for the user rather than crash.
        StopFlag = true;
        logError(error.what());
    }
    if (itemRun) {
        m_itemScripts.pop_back();
        if (m_itemEnded)
            endRefusedItem(before);
    }
    return false;
}

void XmlEngine::endRefusedItem(const Position& before)
{
    // The item's script (and any script it linked to) leaves the chain as a script that ran to
    // its end does, so that the runner goes on with its next item and its own script resumes
    // after it; the main script's position and history are untouched.
    m_itemEnded = false;
    const std::string own = "|" + before.script;
    ScriptStack = before.stack;
    if (ScriptStack.size() >= own.size() &&
        ScriptStack.compare(ScriptStack.size() - own.size(), own.size(), own) == 0)
        ScriptStack.erase(ScriptStack.size() - own.size());
    CurrentScript = before.script;
    ScriptFileName = afterLastBar(CurrentScript);
    releaseScript();
    PanelShown = false;
    StopFlag = false;
}

void XmlEngine::reset()
{
    CurrentScript.clear();
    ScriptStack.clear();
    ActionIndex = 0;
    HistoryStep = 0;
    HistoryIndexes.clear();
    HistoryScripts.clear();
    StopFlag = false;
    PanelShown = false;
    ScriptFileName.clear();
    DecryptedScriptPath.clear();
    releaseScript();
    m_itemScripts.clear();
    m_ignoredCalls = 0;
    m_lastLoad = {};
    m_failedReads.clear();
    m_reachedEnd = false;
    m_refused = false;
    m_itemEnded = false;
    m_itemRefusal.clear();
}

void XmlEngine::releaseScript()
{
    m_steps.clear();
    m_document.reset();
}

std::string ScriptLoad::describe() const
{
    switch (status) {
    case Status::Loaded: return std::string();
    case Status::Missing: return script + ": " + reason;
    case Status::Malformed: return script + " line " + std::to_string(line) + ": " + reason;
    }
    return std::string();
}

ScriptLoad parseScript(const std::string& script, const std::string& bytes, pugi::xml_document& doc)
{
    // The plain script is in the machine's ANSI code page.
    const std::string utf8 = coretext::fromAnsi(bytes);
    const pugi::xml_parse_result parsed =
        doc.load_buffer(utf8.data(), utf8.size(), pugi::parse_default, pugi::encoding_utf8);
    if (parsed)
        return {ScriptLoad::Status::Loaded, script, 0, std::string()};
    const std::size_t offset = std::min<std::size_t>(static_cast<std::size_t>(parsed.offset), utf8.size());
    const long line =
        1 + static_cast<long>(std::count(utf8.begin(), utf8.begin() + static_cast<long>(offset), '\n'));
    doc.reset();
    return {ScriptLoad::Status::Malformed, script, line, parsed.description()};
}

void logScriptNotLoaded(LogFile& log, const ScriptLoad& load)
{
    const std::string detail = load.status == ScriptLoad::Status::Malformed
        ? "line " + std::to_string(load.line) + ": " + load.reason
        : load.reason;
    LastLogResult =
        log.writeText("Step_Script", "ERROR : Script not loaded : " + load.script + " : " + detail);
}

ScriptLoad XmlEngine::loadInto(const std::string& script, pugi::xml_document& doc, std::string& plainPath)
{
    plainPath = m_decryptor.Decrypt_Script_File(AppPath + "\\WKXFiles\\" + script);
    std::string bytes;
    if (plainPath.empty() || !m_files.readFile(plainPath, bytes))
        return ScriptLoad::missing(script);
    return parseScript(script, bytes, doc);
}

ScriptLoad XmlEngine::readScript(const std::string& script, pugi::xml_document& doc)
{
    for (const ScriptLoad& failed : m_failedReads)
        if (failed.script == script)
            return failed;
    std::string plainPath;
    ScriptLoad load = loadInto(script, doc, plainPath);
    if (!load.loaded()) {
        logScriptNotLoaded(m_log, load);
        m_failedReads.push_back(load);
    }
    return load;
}

ScriptLoad XmlEngine::loadScript()
{
    m_steps.clear();
    auto document = std::make_shared<pugi::xml_document>();
    m_lastLoad = loadInto(ScriptFileName, *document, DecryptedScriptPath);
    // A script that could not be read leaves the document as it was; one that was parsed replaces it.
    if (m_lastLoad.status != ScriptLoad::Status::Missing)
        m_document = std::move(document);
    if (m_lastLoad.loaded())
        for (pugi::xpath_node found : m_document->select_nodes("//performaction"))
            m_steps.push_back(found.node());
    return m_lastLoad;
}

void XmlEngine::scriptNotLoaded(const ScriptLoad& load, bool itemRun)
{
    logScriptNotLoaded(m_log, load);
    // Nothing sensible can run on: stop every enclosing run instead of going on with a position
    // that belongs to the script that failed to load.
    StopFlag = true;
    if (itemRun) {
        // The item failed for this reason; its runner goes on with the next item.
        if (m_itemRefusal.empty())
            m_itemRefusal = load.describe();
        m_itemEnded = true;
        return;
    }
    if (load.status == ScriptLoad::Status::Missing) {
        platform::showMessage(kScriptLoadFailure);
        return;
    }
    std::string text = kScriptDamaged;
    text.replace(text.find("%s"), 2, load.describe());
    platform::showMessage(text, platform::MsgButtons::Ok, platform::MsgIcon::Critical);
}

void XmlEngine::logError(const std::string& text)
{
    LastLogResult = m_log.writeText("Step_Script", "ERROR : " + text);
}

void XmlEngine::moveInHistory(const std::string& direction)
{
    // Next moves one step and one history entry on; Back returns to the previous history entry
    // (its script and the step that showed its page).
    if (direction == kDirectionNext) {
        ActionIndex += 1;
        HistoryStep += 1;
    } else if (direction == kDirectionBack) {
        HistoryStep -= 1;
        if (auto script = historyEntry(HistoryScripts, HistoryStep)) {
            if (!CurrentScript.empty())
                ScriptStack = replaceAll(ScriptStack, CurrentScript, *script);
            CurrentScript = *script;
        }
        if (auto index = historyEntry(HistoryIndexes, HistoryStep))
            if (auto value = toInt(*index))
                ActionIndex = *value;
    }
}

bool XmlEngine::runSteps(const std::string& direction)
{
    // Run the steps from the current position; a step whose condition fails is passed over
    // together with the steps nested in it.
    const int last = static_cast<int>(m_steps.size()) - 1;
    for (; ActionIndex <= last; ++ActionIndex) {
        // A nested item run may have released the list: the remaining turns find nothing.
        if (ActionIndex < 0 || ActionIndex >= static_cast<int>(m_steps.size()))
            continue;
        // Once the program is to end, no further step runs: every run unwinds at once.
        if (programEndRequested()) {
            StopFlag = true;
            return false;
        }
        pugi::xml_node step = m_steps[static_cast<std::size_t>(ActionIndex)];
        switch (m_variables.evaluateCondition(step.attribute("condition").value())) {
        case ConditionOutcome::Always:
        case ConditionOutcome::Holds:
            Execute_Action(step, direction);
            if (!m_itemScripts.empty() && m_primitives && m_primitives->itemRefused()) {
                // The item refused a path its source named: nothing more of it is written.
                if (m_itemRefusal.empty())
                    m_itemRefusal = "Refused";
                m_itemEnded = true;
                PanelShown = false;
                StopFlag = true;
            }
            if (StopFlag)
                return false;
            break;
        case ConditionOutcome::Malformed: break;
        case ConditionOutcome::Fails: ActionIndex += childStepCount(step); break;
        }
    }
    return true;
}

void XmlEngine::runScript(const std::string& direction)
{
    moveInHistory(direction);

    // A script not on the chain yet joins it with the position that started it, and runs from
    // its first step.
    if (trimBlanks(ScriptStack).empty()) {
        ScriptStack = CurrentScript;
    } else if (ScriptStack.find(CurrentScript) == std::string::npos) {
        ScriptStack += "|" + std::to_string(ActionIndex) + "|" + CurrentScript;
        ActionIndex = 0;
    }

    // Load the current script (its file name is the part of CurrentScript after the last "|").
    ScriptFileName = afterLastBar(CurrentScript);
    if (const ScriptLoad load = loadScript(); !load.loaded()) {
        scriptNotLoaded(load, !m_itemScripts.empty());
        return;
    }
    std::shared_ptr<pugi::xml_document> keepAlive = m_document;

    StopFlag = false;
    if (!runSteps(direction))
        return;

    // The script is exhausted: it leaves the chain and its caller goes on after the step that
    // started it.
    ScriptStack = replaceAll(ScriptStack, "|" + ScriptFileName, "");
    releaseScript();
    keepAlive.reset();
    if (direction == kDirectionItem)
        return;
    if (ScriptStack.find('|') == std::string::npos) {
        // The main script has no parent to return to: the wizard is at its end.
        StopFlag = true;
        m_reachedEnd = true;
        return;
    }
    if (auto position = toInt(afterLastBar(ScriptStack)))
        ActionIndex = *position + 1;
    ScriptStack.erase(ScriptStack.rfind('|'));
    CurrentScript = afterLastBar(ScriptStack);
    // Back in an item script that a runner is running: finish it as an item run, so that its
    // end returns to the runner instead of resuming the runner's own script from inside it.
    const bool intoItem = !m_itemScripts.empty() && CurrentScript == m_itemScripts.back();
    runScript(intoItem ? kDirectionItem : "");
}

void XmlEngine::restore(const Position& before)
{
    CurrentScript = before.script;
    ScriptStack = before.stack;
    ActionIndex = before.actionIndex;
    HistoryStep = before.historyStep;
}

void XmlEngine::stayAtEnd(const Position& before)
{
    // The end of the script is a stop: the page on screen stays the current one, so a further
    // Next changes nothing and Previous goes back exactly one page.
    restore(before);
    wizardWindows().setStatusText(kEndOfScriptStatus);
}

void XmlEngine::report(const std::string& text)
{
    // A step cut short by the way out has not failed: the user asked for the end.
    if (!programEndRequested())
        platform::showMessage(text);
}

bool XmlEngine::linkRefused(const std::string& link)
{
    // The chain reads "script|position|script|...": the scripts stand at the even places.
    const std::vector<std::string> chain = splitAll(ScriptStack, '|');
    bool onChain = false;
    for (std::size_t i = 0; i < chain.size(); i += 2)
        onChain = onChain || platform::equalsNoCase(trimBlanks(chain[i]), link);
    const bool tooDeep = chain.size() / 2 + 1 > kMaxLinkDepth;
    if (!onChain && !tooDeep)
        return false;
    // Following the link would run the same scripts again without end: stop this run instead, so
    // that the wizard stays on its page and the next step goes on after the link.
    const std::string text = onChain ? "The script " + link +
            " is already running: a script cannot link to itself or to a script that linked to it. The link "
            "is not followed."
                                     : "The scripts link " + std::to_string(kMaxLinkDepth) +
            " levels deep at " + link + ". The link is not followed.";
    LastLogResult = m_log.writeText("Execute_Action", "Link refused: " + text);
    report(text);
    StopFlag = true;
    return true;
}

void XmlEngine::logReport(const std::string& key, const std::string& name)
{
    LastLogResult = m_log.FN_Write_Log("Not Able to find application path" + key + name, "Start", true);
}

void XmlEngine::runExecute(const std::string& name, const std::string& direction)
{
    if (!m_rules && m_rulesProvider)
        m_rules = m_rulesProvider();
    bool result = false;
    try {
        result = m_rules ? m_rules->call(name).value_or(false) : false;
    } catch (const std::exception& error) {
        logError(name + " : " + error.what());
        result = false; // a failing call counts as a False answer
    }

    if (result) {
        StopFlag = PanelShown;
        PanelShown = false;
        return;
    }
    if (!m_itemScripts.empty()) {
        // A refusal inside an item script ends that item only: its runner records the item as
        // failed and goes on with the next one; the page history stays as the click found it.
        if (m_itemRefusal.empty())
            m_itemRefusal = name;
        m_itemEnded = true;
        PanelShown = false;
        StopFlag = true;
        return;
    }
    m_refused = true;
    HistoryStep -= direction == kDirectionNext ? 2 : 1;
    if (auto index = historyEntry(HistoryIndexes, HistoryStep))
        if (auto value = toInt(*index))
            ActionIndex = *value;
    if (auto script = historyEntry(HistoryScripts, HistoryStep))
        CurrentScript = *script;
    PanelShown = false;
    StopFlag = true;
}

bool XmlEngine::Show_Panel(const std::string& panelName)
{
    const bool loadedBefore = m_panelHost && m_panelHost->showPanel(panelName);
    if (!loadedBefore) {
        HistoryStep = static_cast<int>(HistoryIndexes.size()) + 1;
        HistoryIndexes.push_back(std::to_string(ActionIndex));
        HistoryScripts.push_back(CurrentScript);
    }
    PanelShown = true;
    return true;
}

} // namespace wizard
