// MainToolbar.cpp: the button table, the button pictures and building the toolbar.
#include "foldersize/ui/scanner/MainToolbar.h"

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QPainter>
#include <QStringList>
#include <QStyle>
#include <QToolBar>

#include "foldersize/services/ErrorReport.h"

namespace foldersize {
namespace {

struct ButtonEntry {
    const char* key;
    const char* tooltip;
    bool unit;
};

// The toolbar from left to right; an empty key is a separator.
const ButtonEntry kButtons[] = {
    {"neu", "Neue Quelle auswählen", false},
    {"start", "Quelle einlesen", false},
    {"stop", "Einlesen beenden", false},
    {"", "", false},
    {"refresh", "Quelle im Report aktualisieren", false},
    {"speichern", "Quelle in eine Datei speichern", false},
    {"speichernalle", "alle Quellen in eine Datei speichern", false},
    {"drucken", "Quelle ausdrucken", false},
    {"del", "Quelle im Report entfernen", false},
    {"delall", "alle Quellen im Report entfernen", false},
    {"", "", false},
    {"b", "Bytes", true},
    {"kb", "Kilobytes", true},
    {"mb", "Megabytes", true},
    {"gb", "Gigabytes", true},
    {"", "", false},
    {"optionen", "Optionen", false},
    {"font", "Schriftart auswählen", false},
    {"", "", false},
    {"info", "Info", false},
    {"homepage", "Homepage", false},
    {"iupdate", "Internet Update", false},
    {"", "", false},
    {"ende", "Programm beenden", false},
};

QIcon textIcon(const QString& text)
{
    QPixmap pm(24, 24);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    QFont f = p.font();
    f.setPixelSize(text.size() > 1 ? 10 : 13);
    f.setBold(true);
    p.setFont(f);
    p.drawText(pm.rect(), Qt::AlignCenter, text);
    return QIcon(pm);
}

QIcon toolbarIcon(const QString& key, QStyle* style)
{
    struct Pick {
        const char* key;
        const char* theme;
        QStyle::StandardPixmap fallback;
    };
    static const Pick picks[] = {
        {"neu", "folder-new", QStyle::SP_FileDialogNewFolder},
        {"start", "media-playback-start", QStyle::SP_MediaPlay},
        {"stop", "media-playback-stop", QStyle::SP_MediaStop},
        {"refresh", "view-refresh", QStyle::SP_BrowserReload},
        {"speichern", "document-save", QStyle::SP_DialogSaveButton},
        {"speichernalle", "document-save-all", QStyle::SP_DriveFDIcon},
        {"drucken", "document-print", QStyle::SP_FileDialogDetailedView},
        {"del", "edit-delete", QStyle::SP_TrashIcon},
        {"delall", "edit-clear", QStyle::SP_DialogDiscardButton},
        {"optionen", "preferences-system", QStyle::SP_FileDialogListView},
        {"font", "preferences-desktop-font", QStyle::SP_FileDialogInfoView},
        {"info", "help-about", QStyle::SP_MessageBoxInformation},
        {"homepage", "go-home", QStyle::SP_DirHomeIcon},
        {"iupdate", "system-software-update", QStyle::SP_ArrowDown},
        {"ende", "application-exit", QStyle::SP_DialogCloseButton},
    };
    if (unitOfButtonKey(key) >= 0)
        return textIcon(key.toUpper());
    for (const Pick& p : picks)
        if (key == QLatin1String(p.key))
            return QIcon::fromTheme(QLatin1String(p.theme), style->standardIcon(p.fallback));
    return textIcon(key.left(1).toUpper());
}

} // namespace

MainToolbar::MainToolbar(QToolBar* toolbar, std::function<void(const QString& key)> onClick)
{
    auto* unitGroup = new QActionGroup(toolbar);
    unitGroup->setExclusive(true);
    for (const ButtonEntry& b : kButtons) {
        if (!*b.key) {
            toolbar->addSeparator();
            continue;
        }
        const QString key = QLatin1String(b.key);
        auto* a = new QAction(toolbarIcon(key, toolbar->style()), QString(), toolbar);
        a->setObjectName(key);
        a->setToolTip(MeldungFormatieren(0, QString::fromUtf8(b.tooltip)));
        if (b.unit) {
            a->setCheckable(true);
            unitGroup->addAction(a);
        }
        QObject::connect(a, &QAction::triggered, toolbar, [onClick, key] { onClick(key); });
        toolbar->addAction(a);
        m_buttons[key] = a;
    }
}

QAction* MainToolbar::button(const QString& key) const
{
    const auto it = m_buttons.find(key);
    return it == m_buttons.end() ? nullptr : it->second;
}

void MainToolbar::update(ToolbarMode mode, bool hasTree)
{
    for (const auto& [key, a] : m_buttons)
        a->setEnabled(buttonCanAct(key, mode, hasTree));
}

bool buttonCanAct(const QString& key, ToolbarMode mode, bool hasTree)
{
    static const QStringList needTree{QStringLiteral("refresh"), QStringLiteral("speichern"),
        QStringLiteral("speichernalle"), QStringLiteral("drucken"), QStringLiteral("del"),
        QStringLiteral("delall")};
    switch (mode) {
    case ToolbarMode::Filling: return false;
    case ToolbarMode::Scanning:
        return key == QLatin1String("stop") || key == QLatin1String("homepage") ||
            key == QLatin1String("iupdate");
    case ToolbarMode::Idle: break;
    }
    if (key == QLatin1String("stop"))
        return false;
    return hasTree || !needTree.contains(key);
}

int unitOfButtonKey(const QString& key)
{
    static const char* const keys[] = {"b", "kb", "mb", "gb"};
    for (int i = 0; i < 4; ++i)
        if (key == QLatin1String(keys[i]))
            return i;
    return -1;
}

} // namespace foldersize
