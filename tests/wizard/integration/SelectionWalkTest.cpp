// SelectionWalkTest.cpp: the selection page reached through the main window and the main script
// on the demo network, after the hand-over from OLDPC (Windows 98) and OLDXP (Windows XP): the
// applications from the mirrored uninstall key with their icons, the settings, the shared drives,
// folders listed as the user opens them, a mixed choice in both trees, the collections and
// variables that Next collects, and the Edit menu's Select All and Clear All.
#include "tests/wizard/integration/DemoWalk.h"

#include "wizard/selection/SelectionCollectors.h"
#include "wizard/selection/SelectionEvents.h"
#include "wizard/ui/selection/ApplicationSettingsPage.h"
#include "wizard/ui/selection/SelectionTreeWidget.h"

#include <QAction>
#include <QTest>
#include <QTreeWidget>

namespace {

using wizard::SelectionTree;

class SelectionWalkTest : public testsupport::DemoWalk {
protected:
    // From the agreement through the hand-over of `source` to the selection page.
    void walkToSelection(wizard::KestroMain* w, const char* osOption, const char* source, const char* pcName,
        const char* user = "", const char* password = "")
    {
        walkToConnectionPage(w, osOption);
        fillConnection(w, pcName, user, password);
        this->user.steps = {{platform::MsgResult::Ok, runBatchOn(source)}};
        next(w);
        ASSERT_EQ(batchExit, 0u);
        ASSERT_EQ(activeForm(w), "Frm_ApplicationSettings");
        page = w->findChild<wizard::Frm_ApplicationSettings*>("Frm_ApplicationSettings");
        ASSERT_NE(page, nullptr);
        sourceTree = page->findChild<wizard::SelectionTreeWidget*>("Trv_Source_Information");
        destinationTree = page->findChild<wizard::SelectionTreeWidget*>("Trv_Destination_Information");
        ASSERT_NE(sourceTree, nullptr);
        ASSERT_NE(destinationTree, nullptr);
    }
    static std::vector<std::string> childTexts(QTreeWidgetItem* parent)
    {
        std::vector<std::string> texts;
        for (int i = 0; parent && i < parent->childCount(); ++i)
            texts.push_back(parent->child(i)->text(0).toStdString());
        return texts;
    }
    // The whole tree, one line per item, indented by depth (for failure messages).
    static std::string dump(QTreeWidget* tree)
    {
        std::string out;
        std::function<void(QTreeWidgetItem*, int)> walk = [&](QTreeWidgetItem* parent, int depth) {
            for (int i = 0; i < parent->childCount(); ++i) {
                out += std::string(static_cast<std::size_t>(depth) * 2, ' ') +
                    parent->child(i)->text(0).toStdString() + "\n";
                walk(parent->child(i), depth + 1);
            }
        };
        walk(tree->invisibleRootItem(), 0);
        return out;
    }
    // The user clicks the check box of the source item at `path`.
    void tick(const std::string& path, bool checked = true)
    {
        QTreeWidgetItem* it = item(sourceTree, path);
        ASSERT_NE(it, nullptr) << path << "\n" << dump(sourceTree);
        it->setCheckState(0, checked ? Qt::Checked : Qt::Unchecked);
        emit sourceTree->itemClicked(it, 0);
    }
    void open(QTreeWidget* tree, const std::string& path)
    {
        QTreeWidgetItem* it = item(tree, path);
        ASSERT_NE(it, nullptr) << path << "\n" << dump(tree);
        it->setExpanded(true);
        testsupport::settleListings(tree->parentWidget());
    }
    const SelectionTree::Node* destinationNode(const std::string& path)
    {
        QTreeWidgetItem* it = item(destinationTree, path);
        return it ? destinationTree->nodeOf(it) : nullptr;
    }
    static std::vector<std::string> items(const wizard::KeyedList& list)
    {
        std::vector<std::string> out;
        for (const wizard::KeyedList::Entry& e : list.entries())
            out.push_back(e.item + (e.item == e.key ? "" : " <" + e.key + ">"));
        return out;
    }
    static std::string variable(const char* name)
    {
        return wizard::core().variables.lookup(name).value_or("<unset>");
    }
    QAction* menu(wizard::KestroMain* w, const char* name) { return w->findChild<QAction*>(name); }

    wizard::Frm_ApplicationSettings* page = nullptr;
    wizard::SelectionTreeWidget* sourceTree = nullptr;
    wizard::SelectionTreeWidget* destinationTree = nullptr;
};

TEST_F(SelectionWalkTest, Windows98SourceOffersItsApplicationsSettingsAndDrives)
{
    wizard::KestroMain* w = startWizard();
    ASSERT_NE(w, nullptr);
    ASSERT_NO_FATAL_FAILURE(walkToSelection(w, "Opt98", demo::kSourcePc98, "OLDPC"));

    // Office 2000's products first, then the uninstall entries; one node per shipped icon.
    EXPECT_EQ(childTexts(item(sourceTree, "My Computer\\Supported Applications")),
        (std::vector<std::string>{
            "MS Excel", "MS Outlook", "MS PowerPoint", "MS Word", "Adobe Acrobat", "Photo Editor", "WinZip"}))
        << dump(sourceTree);
    EXPECT_EQ(childTexts(item(sourceTree, "My Computer\\Unsupported Applications")),
        (std::vector<std::string>{"Home Tax Helper 2003", "Solitaire Plus 2.1"}));
    // Each supported application shows its own icon, the picture shipped under its name.
    QTreeWidgetItem* supported = item(sourceTree, "My Computer\\Supported Applications");
    for (int i = 0; i < supported->childCount(); ++i) {
        const SelectionTree::Node* n = sourceTree->nodeOf(supported->child(i));
        const wizard::TreeImages::Image* image = page->logic().images().at(n->image);
        ASSERT_NE(image, nullptr) << n->text;
        EXPECT_EQ(image->key, n->text);
        EXPECT_EQ(image->source, std::string(demo::kWizardFolder) + "\\Icons\\" + n->text + ".gif");
        EXPECT_FALSE(supported->child(i)->icon(0).isNull()) << n->text;
    }
    EXPECT_EQ(childTexts(item(sourceTree, "My Computer\\Display Settings")).size(), 6u);
    EXPECT_EQ(childTexts(item(sourceTree, "My Computer\\Control Panel Settings")).size(), 3u);

    // The shared drives are the source drives the hand-over mapped, each not yet listed.
    std::vector<std::string> mapped;
    for (const auto& entry : wizard::transferGlobals().driveMap.entries())
        mapped.push_back(entry.first);
    EXPECT_EQ(childTexts(item(sourceTree, "My Computer\\Files and Folders")), mapped);
    EXPECT_EQ(
        sourceTree->nodeOf(item(sourceTree, "My Computer\\Files and Folders\\C:"))->key, "\\\\OLDPC\\C$");
    EXPECT_EQ(
        childTexts(item(sourceTree, "My Computer\\Files and Folders\\D:")), std::vector<std::string>{""});

    // Opening D: lists its folder, opening Projects its files; nothing deeper is read.
    open(sourceTree, "My Computer\\Files and Folders\\D:");
    EXPECT_EQ(childTexts(item(sourceTree, "My Computer\\Files and Folders\\D:")),
        std::vector<std::string>{"Projects"});
    EXPECT_EQ(childTexts(item(sourceTree, "My Computer\\Files and Folders\\D:\\Projects")),
        std::vector<std::string>{""});
    open(sourceTree, "My Computer\\Files and Folders\\D:\\Projects");
    EXPECT_EQ(childTexts(item(sourceTree, "My Computer\\Files and Folders\\D:\\Projects")),
        (std::vector<std::string>{"Club members.csv", "Garden plan.txt"}));
    open(sourceTree, "My Computer\\Files and Folders\\C:");

    // A mixed choice: a setting, a supported and an unsupported application, a file, and a folder
    // that was never opened.
    EXPECT_FALSE(w->findChild<QPushButton*>("Btn_Next")->isEnabled());
    tick("My Computer\\Display Settings\\Screen Saver");
    tick("My Computer\\Supported Applications\\WinZip");
    tick("My Computer\\Unsupported Applications\\Solitaire Plus 2.1");
    tick("My Computer\\Files and Folders\\D:\\Projects\\Garden plan.txt");
    tick("My Computer\\Files and Folders\\C:\\My Documents");
    EXPECT_TRUE(w->findChild<QPushButton*>("Btn_Next")->isEnabled());

    const SelectionTree::Node* file =
        destinationNode("My Computer\\Files and Folders\\D:\\Projects\\Garden plan.txt");
    ASSERT_NE(file, nullptr) << dump(destinationTree);
    EXPECT_EQ(file->key, "\\\\OLDPC\\D$\\PROJECTS\\GARDEN PLAN.TXT");
    EXPECT_TRUE(destinationNode("My Computer\\Display Settings\\Screen Saver"));
    EXPECT_TRUE(destinationNode("My Computer\\Supported Applications\\WinZip"));
    EXPECT_TRUE(destinationNode("My Computer\\Unsupported Applications\\Solitaire Plus 2.1"));
    // The chosen folder's copy can be opened: it lists the folder's contents.
    open(destinationTree, "My Computer\\Files and Folders\\C:\\My Documents");
    EXPECT_EQ(childTexts(item(destinationTree, "My Computer\\Files and Folders\\C:\\My Documents")),
        (std::vector<std::string>{"My Pictures", "Budget 2004.xls", "Letter to the bank.doc", "Notes.txt"}));

    next(w);
    const wizard::SelectionCollections& chosen = wizard::selectionCollections();
    EXPECT_EQ(items(chosen.applications), (std::vector<std::string>{"WinZip", "Solitaire Plus 2.1"}));
    EXPECT_EQ(items(chosen.settings), std::vector<std::string>{"Screen Saver"});
    // Files and folders in the order they were listed (D: was opened first).
    EXPECT_EQ(items(chosen.filesFolders),
        (std::vector<std::string>{"D:\\Projects\\Garden plan.txt <\\\\OLDPC\\D$\\Projects\\Garden plan.txt>",
            "C:\\My Documents <\\\\OLDPC\\C$\\My Documents>"}));
    EXPECT_EQ(chosen.progressStep, 10.0);
    for (const char* name : {"$screen_saver", "$Display_Settings", "$winzip", "$solitaire plus 2.1",
             "$bln_application", "$files_and_folders"})
        EXPECT_EQ(variable(name), "true") << name;
    EXPECT_EQ(variable("$Control_Panel_Settings"), "<unset>");
    // The selective migration goes on with the drives of both PCs.
    EXPECT_EQ(activeForm(w), "frm_Drive_Info");
}

TEST_F(SelectionWalkTest, WindowsXpSourceThroughItsPlainShare)
{
    wizard::KestroMain* w = startWizard();
    ASSERT_NE(w, nullptr);
    ASSERT_NO_FATAL_FAILURE(walkToSelection(w, "OptXP", demo::kSourcePcXp, "OLDXP", "Sarah", "blue42"));

    // Office 2003 (found by its product key) with Access, which has no icon of its own.
    EXPECT_EQ(childTexts(item(sourceTree, "My Computer\\Supported Applications")),
        (std::vector<std::string>{
            "MS Excel", "MS Outlook", "MS PowerPoint", "MS Word", "Adobe Acrobat", "WinZip"}))
        << dump(sourceTree);
    EXPECT_EQ(childTexts(item(sourceTree, "My Computer\\Unsupported Applications")),
        (std::vector<std::string>{"MS Access", "Star Chart Explorer 1.4"}));
    // OLDXP shares its C: drive as "C" only.
    EXPECT_EQ(childTexts(item(sourceTree, "My Computer\\Files and Folders")), std::vector<std::string>{"C:"});
    EXPECT_EQ(
        sourceTree->nodeOf(item(sourceTree, "My Computer\\Files and Folders\\C:"))->key, "\\\\OLDXP\\C");

    const std::string docs =
        "My Computer\\Files and Folders\\C:\\Documents and Settings\\Sarah\\My Documents";
    open(sourceTree, "My Computer\\Files and Folders\\C:");
    open(sourceTree, "My Computer\\Files and Folders\\C:\\Documents and Settings");
    open(sourceTree, "My Computer\\Files and Folders\\C:\\Documents and Settings\\Sarah");
    open(sourceTree, docs);
    tick(docs + "\\Notes.txt");
    tick(docs + "\\My Pictures");
    tick("My Computer\\Control Panel Settings\\Mouse Settings");
    tick("My Computer\\Unsupported Applications\\MS Access");
    tick("My Computer\\Supported Applications\\MS Word");
    tick("My Computer\\Supported Applications\\WinZip");
    EXPECT_TRUE(destinationNode(
        "My Computer\\Files and Folders\\C:\\Documents and Settings\\Sarah\\My Documents\\Notes.txt"))
        << dump(destinationTree);
    next(w);
    EXPECT_EQ(variable("$winzip"), "true");
    ASSERT_EQ(activeForm(w), "frm_Drive_Info");

    // Back on the page the user drops WinZip again: Next collects afresh.
    w->findChild<QPushButton*>("Btn_Back")->click();
    ASSERT_EQ(activeForm(w), "Frm_ApplicationSettings");
    tick("My Computer\\Supported Applications\\WinZip", false);
    EXPECT_EQ(destinationNode("My Computer\\Supported Applications\\WinZip"), nullptr);
    next(w);
    const wizard::SelectionCollections& chosen = wizard::selectionCollections();
    // Applications in the order they reached the destination tree.
    EXPECT_EQ(items(chosen.applications), (std::vector<std::string>{"MS Access", "MS Word"}));
    EXPECT_EQ(items(chosen.settings), std::vector<std::string>{"Mouse Settings"});
    EXPECT_EQ(items(chosen.filesFolders),
        (std::vector<std::string>{
            "C:\\Documents and Settings\\Sarah\\My Documents\\My Pictures <\\\\OLDXP\\C\\Documents and "
            "Settings\\Sarah\\My Documents\\My Pictures>",
            "C:\\Documents and Settings\\Sarah\\My Documents\\Notes.txt <\\\\OLDXP\\C\\Documents and "
            "Settings\\Sarah\\My Documents\\Notes.txt>"}));
    for (const char* name : {"$mouse_settings", "$Control_Panel_Settings", "$ms word", "$ms access",
             "$bln_application", "$files_and_folders"})
        EXPECT_EQ(variable(name), "true") << name;
    // The dropped application no longer counts as chosen.
    EXPECT_EQ(variable("$winzip"), "false");
}

TEST_F(SelectionWalkTest, SpaceAndStarChangeNothingInTheSourceTree)
{
    wizard::KestroMain* w = startWizard();
    ASSERT_NE(w, nullptr);
    ASSERT_NO_FATAL_FAILURE(walkToSelection(w, "Opt98", demo::kSourcePc98, "OLDPC"));
    open(sourceTree, "My Computer\\Files and Folders\\D:");
    const auto press = [this](const std::string& path, Qt::Key key, Qt::KeyboardModifiers modifiers) {
        QTreeWidgetItem* it = item(sourceTree, path);
        ASSERT_NE(it, nullptr) << path << "\n" << dump(sourceTree);
        sourceTree->setCurrentItem(it);
        QTest::keyClick(sourceTree, key, modifiers);
    };

    // Neither an application, a folder nor a drive is ticked by a key: no box, no destination node.
    for (const Qt::Key key : {Qt::Key_Space, Qt::Key_Select}) {
        user.shown.clear();
        press("My Computer\\Supported Applications\\WinZip", key, Qt::NoModifier);
        press("My Computer\\Files and Folders\\D:\\Projects", key, Qt::NoModifier);
        press("My Computer\\Files and Folders\\C:", key, Qt::NoModifier);
        EXPECT_EQ(
            item(sourceTree, "My Computer\\Supported Applications\\WinZip")->checkState(0), Qt::Unchecked);
        EXPECT_EQ(
            item(sourceTree, "My Computer\\Files and Folders\\D:\\Projects")->checkState(0), Qt::Unchecked);
        EXPECT_EQ(destinationNode("My Computer\\Supported Applications\\WinZip"), nullptr)
            << dump(destinationTree);
        EXPECT_TRUE(user.shown.empty()) << key;
        EXPECT_FALSE(w->findChild<QPushButton*>("Btn_Next")->isEnabled()) << key;
    }
    // The keypad's multiply key opens nothing below the focused item.
    press("My Computer\\Files and Folders", Qt::Key_Asterisk, Qt::KeypadModifier);
    EXPECT_EQ(
        childTexts(item(sourceTree, "My Computer\\Files and Folders\\C:")), std::vector<std::string>{""});
}

TEST_F(SelectionWalkTest, SelectAllAndClearAllActOnTheTrees)
{
    wizard::KestroMain* w = startWizard();
    ASSERT_NE(w, nullptr);
    ASSERT_NO_FATAL_FAILURE(walkToSelection(w, "Opt98", demo::kSourcePc98, "OLDPC"));
    ASSERT_TRUE(menu(w, "SelectAll")->isEnabled());
    ASSERT_TRUE(menu(w, "ClearAll")->isEnabled());

    // Select All: every setting and application is ticked and copied, the drives are not, and
    // Next may be pressed.
    menu(w, "SelectAll")->trigger();
    EXPECT_EQ(childTexts(item(destinationTree, "My Computer\\Display Settings")).size(), 6u);
    EXPECT_EQ(childTexts(item(destinationTree, "My Computer\\Control Panel Settings")).size(), 3u);
    EXPECT_EQ(childTexts(item(destinationTree, "My Computer\\Supported Applications")).size(), 7u);
    EXPECT_EQ(childTexts(item(destinationTree, "My Computer\\Unsupported Applications")).size(), 2u);
    EXPECT_TRUE(childTexts(item(destinationTree, "My Computer\\Files and Folders")).empty());
    EXPECT_EQ(item(sourceTree, "My Computer\\Supported Applications\\WinZip")->checkState(0), Qt::Checked);
    EXPECT_EQ(item(sourceTree, "My Computer\\Files and Folders\\C:")->checkState(0), Qt::Unchecked);
    EXPECT_TRUE(w->findChild<QPushButton*>("Btn_Next")->isEnabled());

    // Clear All, also with a folder chosen that was never opened: nothing is ticked, the
    // destination tree is back to its categories, and Next waits for a new choice.
    open(sourceTree, "My Computer\\Files and Folders\\D:");
    tick("My Computer\\Files and Folders\\D:\\Projects");
    menu(w, "ClearAll")->trigger();
    for (const char* category : {"Display Settings", "Control Panel Settings", "Supported Applications",
             "Unsupported Applications", "Files and Folders"})
        EXPECT_TRUE(childTexts(item(destinationTree, std::string("My Computer\\") + category)).empty())
            << category << "\n"
            << dump(destinationTree);
    EXPECT_EQ(item(sourceTree, "My Computer\\Supported Applications\\WinZip")->checkState(0), Qt::Unchecked);
    EXPECT_EQ(item(sourceTree, "My Computer\\Files and Folders\\D:\\Projects")->checkState(0), Qt::Unchecked);
    EXPECT_FALSE(w->findChild<QPushButton*>("Btn_Next")->isEnabled());

    // A new choice after the clear is collected alone.
    tick("My Computer\\Display Settings\\Wallpaper");
    next(w);
    EXPECT_EQ(items(wizard::selectionCollections().settings), std::vector<std::string>{"Wallpaper"});
    EXPECT_EQ(wizard::selectionCollections().applications.count(), 0);
    EXPECT_EQ(wizard::selectionCollections().filesFolders.count(), 0);
}

} // namespace
