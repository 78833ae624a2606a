// tallymoor_start_bench.cpp: times what Tallymoor's start reads of its settings file, with a large
// file (100,000 sections of another program, 3 MB, before Tallymoor's own five) beside an empty
// one, offscreen: the program's options, then the main window built, shown and activated, as
// Main does it, and then the window closed (what its close writes). Rounds alternate between the
// two files; prints the medians in milliseconds:
//   empty-ms       the start with an empty settings file
//   large-ms       the start with the large file
//   difference-ms  what the large file costs the start (goal: at most 100)
//   close-empty-ms, close-large-ms  the window's close, which writes its settings
// and the file's size. ROUNDS sets the rounds (default 7, after one warm-up of each).
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLocale>
#include <QTemporaryDir>

#include "foldersize/services/BrowserSettings.h"
#include "foldersize/ui/scanner/MainWindow.h"

using namespace foldersize;

namespace {

// Tallymoor's own sections as a window closed once writes them.
const char* const kOwnSections = "[Optionen]\nKontextmenu=1\nInstanz=1\nDateianzahlRekursiv=1\nNoIcons=0\n"
                                 "DateigrößeFormat=2\n\n[Form]\nWindowState=0\nLeft=1200\nTop=900\n"
                                 "Width=11715\nHeight=8190\nTVW=3675\n\n[Layout]\nCol1=133\nCol2=93\n"
                                 "Col3=93\nCol4=115\nFontName=Lucida Console\nFontSize=8,25\nFontBold=0\n\n"
                                 "[ComboOrdner]\nO0=/tmp\n\n[InternetUpdate]\nUseProxy=0\n";

bool writeLargeFile(const QString& path)
{
    if (!path.contains("large"))
        return QFile(path).open(QIODevice::WriteOnly); // the empty file, emptied again
    QByteArray text;
    text.reserve(3400000);
    for (int i = 0; i < 100000; ++i)
        text += "[Fremd" + QByteArray::number(i) + "]\nSchluessel=Wert " + QByteArray::number(i) + "\n";
    text += kOwnSections;
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(text) == text.size();
}

struct Times {
    double start = 0;
    double close = 0;
};

// One start: the options Main reads, then the window loaded, shown and activated; then its close.
Times startOnce(const QString& ini)
{
    Times t;
    QElapsedTimer clock;
    clock.start();
    const BrowserSettings options = SettingsStore(ini).loadOptionen();
    MainWindow window(ini, {});
    window.show();
    QCoreApplication::processEvents();
    if (options.kontextmenu.isEmpty())
        std::fprintf(stderr, "no options read\n");
    t.start = static_cast<double>(clock.nsecsElapsed()) / 1e6;
    clock.restart();
    if (!window.close())
        std::fprintf(stderr, "the window did not close\n");
    t.close = static_cast<double>(clock.nsecsElapsed()) / 1e6;
    return t;
}

double median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QApplication::setQuitOnLastWindowClosed(false);
    // As the program reads its numbers ("8,25").
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    QTemporaryDir dir;
    const QString empty = dir.filePath("empty/Tallymoor.ini");
    const QString large = dir.filePath("large/Tallymoor.ini");
    QDir(dir.path()).mkpath("empty");
    QDir(dir.path()).mkpath("large");
    const char* env = std::getenv("ROUNDS");
    const int rounds = env ? std::max(1, std::atoi(env)) : 7;
    std::vector<double> e;
    std::vector<double> l;
    std::vector<double> ce;
    std::vector<double> cl;
    // Each round starts from the file as made (the close before has written its keys into it).
    const auto round = [&dir](const QString& ini, std::vector<double>& start, std::vector<double>& close) {
        if (!writeLargeFile(ini)) {
            std::fprintf(stderr, "cannot write the settings files in %s\n", qPrintable(dir.path()));
            std::exit(2);
        }
        const Times t = startOnce(ini);
        start.push_back(t.start);
        close.push_back(t.close);
    };
    std::vector<double> warmUp;
    round(empty, warmUp, warmUp);
    round(large, warmUp, warmUp);
    for (int i = 0; i < rounds; ++i) {
        // Alternating order, so that neither file always comes first.
        if (i % 2 == 0) {
            round(empty, e, ce);
            round(large, l, cl);
        } else {
            round(large, l, cl);
            round(empty, e, ce);
        }
    }
    std::printf("settings-bytes: %lld\nempty-ms: %.1f\nlarge-ms: %.1f\ndifference-ms: %.1f\n"
                "close-empty-ms: %.1f\nclose-large-ms: %.1f\n",
        static_cast<long long>(QFile(large).size()), median(e), median(l), median(l) - median(e), median(ce),
        median(cl));
    return 0;
}
