// MainToolbar.h: the main window's toolbar: its 24 buttons from left to right (keys, tooltips,
// pictures), built into a QToolBar as actions named after their keys.
#pragma once

#include <functional>
#include <map>

#include <QString>

class QAction;
class QToolBar;

namespace foldersize {

// What the window is doing, for the buttons' enabled states.
enum class ToolbarMode {
    Idle,     // every button that can act
    Scanning, // a scan or a refresh: only "stop", "homepage" and "iupdate"
    Filling,  // the file list fills (or a report is written): no button
};

// True when the button can act: "stop" only while a scan runs; "refresh", "speichern",
// "speichernalle", "drucken", "del" and "delall" only with a tree (at least one root).
bool buttonCanAct(const QString& key, ToolbarMode mode, bool hasTree);

class MainToolbar {
public:
    // Fills toolbar with the buttons and their separators; a click calls onClick with the key.
    // The actions belong to toolbar and carry their key as object name.
    MainToolbar(QToolBar* toolbar, std::function<void(const QString& key)> onClick);

    // The button with this key, nullptr for an unknown key.
    QAction* button(const QString& key) const;
    const std::map<QString, QAction*>& buttons() const { return m_buttons; }
    // Enables exactly the buttons that can act (buttonCanAct).
    void update(ToolbarMode mode, bool hasTree);

private:
    std::map<QString, QAction*> m_buttons;
};

// Size unit of a unit button's key (0 "b", 1 "kb", 2 "mb", 3 "gb"); -1 for other keys.
int unitOfButtonKey(const QString& key);

} // namespace foldersize
