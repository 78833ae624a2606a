// DesktopPrograms.cpp: the program for a file's type, the installed desktop applications and
// starting one on a file, through GIO (which reads the desktop entries and fills in their command
// lines).
#include "foldersize/services/OpenService.h"

#include <algorithm>

// GIO's headers name struct members "signals", which Qt defines as a keyword.
#pragma push_macro("signals")
#undef signals
#include <gio/gdesktopappinfo.h>
#include <gio/gio.h>
#pragma pop_macro("signals")

#include <QFile>
#include <QFileInfo>

namespace foldersize {
namespace {

// Tallymoor's own entries ("tallymoor.desktop", the file managers' "tallymoor-folder.desktop").
bool isOwnEntry(GAppInfo* app)
{
    const char* id = g_app_info_get_id(app);
    return id && g_str_has_prefix(id, "tallymoor");
}

// The content type of a local file or folder ("" when it cannot be looked at).
QByteArray contentType(GFile* file)
{
    GFileInfo* info = g_file_query_info(
        file, G_FILE_ATTRIBUTE_STANDARD_CONTENT_TYPE, G_FILE_QUERY_INFO_NONE, nullptr, nullptr);
    const char* type = info ? g_file_info_get_content_type(info) : nullptr;
    QByteArray out(type ? type : "");
    if (info)
        g_object_unref(info);
    return out;
}

// The program for the file's type, as "gio open" chooses it, but never one of Tallymoor's own
// entries: then another program registered for the type, or none.
GAppInfo* programFor(GFile* file)
{
    GAppInfo* app = g_file_query_default_handler(file, nullptr, nullptr);
    if (!app || !isOwnEntry(app))
        return app;
    g_object_unref(app);
    app = nullptr;
    const QByteArray type = contentType(file);
    GList* all = type.isEmpty() ? nullptr : g_app_info_get_all_for_type(type.constData());
    for (GList* i = all; i && !app; i = i->next)
        if (!isOwnEntry(static_cast<GAppInfo*>(i->data)))
            app = static_cast<GAppInfo*>(g_object_ref(i->data));
    g_list_free_full(all, g_object_unref);
    return app;
}

} // namespace

OpenService::FileOpen DesktopOpenService::openFile(const QString& path)
{
    GFile* file = g_file_new_for_path(QFile::encodeName(path).constData());
    GAppInfo* app = programFor(file);
    FileOpen result = FileOpen::NoProgram;
    if (app) {
        GList files{file, nullptr, nullptr};
        result = g_app_info_launch(app, &files, nullptr, nullptr) ? FileOpen::Opened : FileOpen::Failed;
        g_object_unref(app);
    }
    g_object_unref(file);
    return result;
}

QList<OpenService::Program> DesktopOpenService::installedPrograms(const QString& path)
{
    QList<Program> out;
    // A folder is offered to the programs made for folders (file managers, often kept out of the
    // menus); a file to every program of the menus that takes files.
    const bool folder = QFileInfo(path).isDir();
    GList* all = folder ? g_app_info_get_all_for_type("inode/directory") : g_app_info_get_all();
    for (GList* i = all; i; i = i->next) {
        auto* app = static_cast<GAppInfo*>(i->data);
        const char* id = g_app_info_get_id(app);
        if (id && !isOwnEntry(app) && (folder || g_app_info_should_show(app)) &&
            (g_app_info_supports_files(app) || g_app_info_supports_uris(app)))
            out.append({QString::fromUtf8(id), QString::fromUtf8(g_app_info_get_display_name(app))});
    }
    g_list_free_full(all, g_object_unref);
    std::sort(out.begin(), out.end(), [](const Program& a, const Program& b) {
        const int byName = a.name.localeAwareCompare(b.name);
        return byName != 0 ? byName < 0 : a.id < b.id;
    });
    return out;
}

bool DesktopOpenService::openWith(const QString& programId, const QString& path)
{
    GDesktopAppInfo* app = g_desktop_app_info_new(programId.toUtf8().constData());
    if (!app)
        return false;
    GFile* file = g_file_new_for_path(QFile::encodeName(path).constData());
    GList files{file, nullptr, nullptr};
    const bool started = g_app_info_launch(G_APP_INFO(app), &files, nullptr, nullptr);
    g_object_unref(file);
    g_object_unref(app);
    return started;
}

} // namespace foldersize
