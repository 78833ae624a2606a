// DesktopPrograms.cpp: the installed desktop applications and starting one on a file, through
// GIO (which reads the desktop entries and fills in their command lines).
#include "foldersize/services/OpenService.h"

#include <algorithm>

// GIO's headers name struct members "signals", which Qt defines as a keyword.
#pragma push_macro("signals")
#undef signals
#include <gio/gdesktopappinfo.h>
#include <gio/gio.h>
#pragma pop_macro("signals")

#include <QFile>

namespace foldersize {

QList<OpenService::Program> DesktopOpenService::installedPrograms()
{
    QList<Program> out;
    GList* all = g_app_info_get_all();
    for (GList* i = all; i; i = i->next) {
        auto* app = static_cast<GAppInfo*>(i->data);
        const char* id = g_app_info_get_id(app);
        // Only what the desktop's menus show, and only what takes a file.
        if (id && g_app_info_should_show(app) &&
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
