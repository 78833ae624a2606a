// XmlEngine.h: the wizard's script engine: runs the `performaction` steps of the XML scripts with
// conditions, links, nested item scripts and the Back/Next navigation history.
#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace pugi {
class xml_document;
class xml_node;
}

namespace wizard {

class ActionPrimitives;
class CoreFiles;
class LogFile;
class PanelHost;
class RulesTable;
class ScriptDecryptor;
class ScriptVariables;

// Directions of Step_Script.
inline constexpr const char* kDirectionNext = "next";
inline constexpr const char* kDirectionBack = "back";
inline constexpr const char* kDirectionItem = "Single_XML_Process";

// The status text when a click finds nothing more in the main script.
inline constexpr const char* kEndOfScriptStatus =
    "Kestro has no further step here: this page is the end of the wizard's script.";

// The message shown when a script cannot be loaded.
inline constexpr const char* kScriptLoadFailure = "Application files are deleted, Kestro will not run!";
// The message shown when a script does not parse; %s stands for ScriptLoad::describe().
inline constexpr const char* kScriptDamaged =
    "A script of Kestro is damaged (%s). Please install Kestro again.";

// What loading a script gave, the one result of every load (the start-up script, a linked
// script, an item script). Before any load it reads Missing: only a load says Loaded.
struct ScriptLoad {
    enum class Status { Loaded, Missing, Malformed };
    Status status = Status::Missing;
    std::string script; // the script's name (ScriptFileName)
    long line = 0;      // Malformed: the line the parser stopped at
    // Missing: why it could not be read; Malformed: the parser's description.
    std::string reason = "nothing has been loaded";

    // A script whose plain copy could not be made or read.
    static ScriptLoad missing(std::string script)
    {
        return {Status::Missing, std::move(script), 0, "the script could not be read"};
    }
    bool loaded() const { return status == Status::Loaded; }
    // "<script> line <line>: <reason>", or "<script>: <reason>" ("" when loaded).
    std::string describe() const;
};

// Parses the plain (unscrambled, ANSI) bytes of the script named `script` into doc: the one way a
// script is parsed. Loaded or Malformed.
ScriptLoad parseScript(const std::string& script, const std::string& bytes, pugi::xml_document& doc);
// Writes the one log record of a load that failed.
void logScriptNotLoaded(LogFile& log, const ScriptLoad& load);

// The engine and its state. The program has one (WizardCore.h); tests build their own.
//
// Scripts are named relative to AppPath & "\WKXFiles\" and read through the unscrambling routine
// (their ".wkx" form). The steps of a script are all its `performaction` elements in document
// order, numbered from 0. The state members below carry the names the rules code uses; the item
// runners of the rules class write ScriptStack, CurrentScript and ActionIndex as documented at
// Step_Script.
class XmlEngine {
public:
    XmlEngine(CoreFiles& files, ScriptVariables& variables, ScriptDecryptor& decryptor, LogFile& log);
    ~XmlEngine();
    XmlEngine(const XmlEngine&) = delete;
    XmlEngine& operator=(const XmlEngine&) = delete;

    // --- wiring (set once at start-up) ---------------------------------------------------------
    // Gives the rules table on the first `execute` step (the rules object is created on first
    // use). Without a provider, or when it answers null, every `execute` step takes the False path.
    // Setting a provider forgets the table the previous one gave. Each setter answers what it
    // replaces.
    std::function<RulesTable*()> setRulesProvider(std::function<RulesTable*()> provider)
    {
        m_rules = nullptr;
        return std::exchange(m_rulesProvider, std::move(provider));
    }
    // The window that shows pages; without one Show_Panel only keeps the history (a page then
    // counts as never loaded before).
    PanelHost* setPanelHost(PanelHost* host) { return std::exchange(m_panelHost, host); }
    // The transfer primitives; without them every file and registry action fails with its report.
    ActionPrimitives* setPrimitives(ActionPrimitives* primitives)
    {
        return std::exchange(m_primitives, primitives);
    }

    // --- calls ----------------------------------------------------------------------------------
    // Runs steps of CurrentScript. Direction "next" (Next, Accept, Migrate), "back" (Previous),
    // "" (go on from the current position; start-up) or kDirectionItem (run the current item
    // script to its end and return). Runs until a step shows a page (StopFlag then True) or the
    // scripts are exhausted. The result carries no information (always false).
    //
    // The end of the main script is a stop: when a click runs out of steps, the position and the
    // history go back to where the click found them (the page on screen stays current) and the
    // status bar says that nothing follows. Likewise a step that answers False to a Next leaves
    // the position and the history where the click found them: the page on screen stays current.
    //
    // While a run is under way (a primitive or rule yields to the event loop), a further call
    // with any direction other than kDirectionItem is ignored: input cannot re-enter the engine.
    // kDirectionItem is how the item runners run their scripts from inside an `execute` step:
    // for the first item they append "|" & ActionIndex & "|" & script to ScriptStack, for each
    // later item "|" & script; for every item they set CurrentScript to the item script and
    // ActionIndex to 0 and call Step_Script(kDirectionItem). After the last item the calling
    // script resumes at the step after the runner's `execute` step.
    bool Step_Script(const std::string& direction);

    // Puts the run state back to how a new engine has it (no script, position, history, refused
    // calls or parse error); the wiring above stays. Not to be called while a run is under way.
    void reset();

    // Shows the page `panelName` through the panel host. When the page had not been loaded
    // before, a history entry (ActionIndex, CurrentScript) is added and HistoryStep becomes its
    // number. Sets PanelShown; always true. Called by the page operations of the rules class.
    bool Show_Panel(const std::string& panelName);

    // True while Step_Script is running (the window disables its wizard buttons meanwhile).
    bool running() const { return m_depth > 0; }
    // Calls refused because a run was under way.
    int ignoredCalls() const { return m_ignoredCalls; }

    // The `execute` step whose False answer ended the last item run early, or the item script's
    // failed load (ScriptLoad::describe()); "" when the item's script ran to its end. Such a refusal ends that item only: its script leaves ScriptStack
    // and the runner's call returns as after a complete run.
    const std::string& itemRefusal() const { return m_itemRefusal; }

    // The last top-level run found the end of the main script.
    bool reachedEnd() const { return m_reachedEnd; }

    // The result of the last script load. A load that fails is logged once ("Step_Script",
    // "ERROR : Script not loaded : " and the script; the line and reason as detail). Inside an
    // item run the item then ends as failed, with describe() as itemRefusal(); elsewhere the run
    // stops with a message box (kScriptLoadFailure for a missing script, kScriptDamaged for one
    // that does not parse).
    const ScriptLoad& lastLoad() const { return m_lastLoad; }

    // Loads `script` (named as ScriptFileName is) into doc for a reader that does not run it (the
    // space page reads an application's script for its size), the way a step's load does. A load
    // that fails is logged once: later calls for that script answer the same result without
    // reading it again, until reset().
    ScriptLoad readScript(const std::string& script, pugi::xml_document& doc);

    // --- state ----------------------------------------------------------------------------------
    std::string CurrentScript; // the script being run ("Kestro.xml" at start-up)
    // The chain "S0|p1|S1|p2|S2...": scripts and the step positions that started them.
    std::string ScriptStack;
    int ActionIndex = 0; // the step being run; after a page, the step that showed it
    int HistoryStep = 0; // number of the history entry of the page on screen
    // History entries numbered from 1: the ActionIndex (as text) and script of each page when
    // it was first shown. Entries are only ever added.
    std::vector<std::string> HistoryIndexes;
    std::vector<std::string> HistoryScripts;
    bool StopFlag = false;           // the engine must return and wait for the user
    bool PanelShown = false;         // set by Show_Panel, read and cleared by `execute` steps
    std::string ScriptFileName;      // the file part of CurrentScript (after its last "|")
    std::string DecryptedScriptPath; // the plain copy loaded last

    // History entry `number` (1-based) of a history collection; empty when there is none.
    static std::optional<std::string> historyEntry(const std::vector<std::string>& entries, int number);

private:
    struct Position {
        std::string script;
        std::string stack;
        int actionIndex;
        int historyStep;
    };
    void restore(const Position& before);
    void stayAtEnd(const Position& before);
    // Takes an item run that a refusal ended off the chain of scripts (`before`: as it began).
    void endRefusedItem(const Position& before);
    void runScript(const std::string& direction);
    // Moves the position and the history entry for Next and Back.
    void moveInHistory(const std::string& direction);
    // Runs the loaded script's steps from ActionIndex: false when a step stopped the run,
    // true when the script is exhausted.
    bool runSteps(const std::string& direction);
    void Execute_Action(const pugi::xml_node& step, const std::string& direction);
    void runExecute(const std::string& name, const std::string& direction);
    // One handler per action word (XmlEngineActions.cpp), looked up by Execute_Action.
    struct ActionStep;
    void actionExecute(ActionStep& step);
    void actionCopy(ActionStep& step);
    void actionMove(ActionStep& step);
    void actionDelete(ActionStep& step);
    void actionUpdateRegistry(ActionStep& step);
    void actionRename(ActionStep& step);
    void actionReplace(ActionStep& step);
    void actionGet(ActionStep& step);
    void actionImport(ActionStep& step);
    void actionExport(ActionStep& step);
    void actionGetFile(ActionStep& step);
    void actionFileTypeCopy(ActionStep& step);
    void actionMsgbox(ActionStep& step);
    ScriptLoad loadScript();
    // The one loader: unscrambles `script`, reads its plain copy (whose path goes to plainPath)
    // and parses it into doc.
    ScriptLoad loadInto(const std::string& script, pugi::xml_document& doc, std::string& plainPath);
    void scriptNotLoaded(const ScriptLoad& load, bool itemRun);
    void logError(const std::string& text);
    void releaseScript();
    // True (after a report and a log record) when following `link` would run a script that is
    // already on the chain of linked scripts, or would nest links too deep.
    bool linkRefused(const std::string& link);
    static constexpr std::size_t kMaxLinkDepth = 32;
    void report(const std::string& text);
    void logReport(const std::string& key, const std::string& name);

    CoreFiles& m_files;
    ScriptVariables& m_variables;
    ScriptDecryptor& m_decryptor;
    LogFile& m_log;
    std::function<RulesTable*()> m_rulesProvider;
    RulesTable* m_rules = nullptr;
    PanelHost* m_panelHost = nullptr;
    ActionPrimitives* m_primitives = nullptr;

    std::shared_ptr<pugi::xml_document> m_document; // ScriptDocument
    std::vector<pugi::xml_node> m_steps;            // StepList
    int m_depth = 0;
    std::vector<std::string> m_itemScripts; // item scripts being run by item runners, innermost last
    int m_ignoredCalls = 0;
    ScriptLoad m_lastLoad;
    std::vector<ScriptLoad> m_failedReads; // readScript's failed loads, each logged once
    bool m_reachedEnd = false;
    bool m_refused = false;    // an `execute` step answered False during the last top-level run
    bool m_itemEnded = false;  // a refusal ended the innermost item run
    std::string m_itemRefusal; // the step that did
};

} // namespace wizard
