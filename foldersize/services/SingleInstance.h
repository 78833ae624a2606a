// SingleInstance.h: one running copy per user. The first copy holds a lock file and listens on a
// local socket; a later copy sends its folder arguments over the socket and ends. A socket left
// behind by a crashed copy is removed by the next first copy.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include <QLockFile>
#include <QObject>
#include <QString>

class QLocalServer;

namespace foldersize {

class SingleInstance : public QObject {
    Q_OBJECT
public:
    // folder: where the lock file and the socket live (the user's runtime folder by default).
    explicit SingleInstance(
        QString folder = QString(), QString name = QStringLiteral("Tallymoor"), QObject* parent = nullptr);
    ~SingleInstance() override;

    // Takes the lock. True for the first copy, which then listens for later copies.
    bool tryBecomeFirst();
    bool isFirst() const { return m_first; }

    // A later copy: hands the folders to the first copy (an empty list asks it to come to the
    // front). Waits at most timeoutMs; returns false when no first copy answered.
    bool sendToFirst(const std::vector<std::string>& folders, int timeoutMs = 5000);

    QString socketPath() const { return m_socketPath; }

    // Wire format of one hand-over: the folder arguments as raw bytes.
    static QByteArray encode(const std::vector<std::string>& folders);
    static bool decode(const QByteArray& bytes, std::vector<std::string>& folders);

signals:
    // Arrives in the first copy, on its event loop, once per later copy.
    void foldersReceived(const std::vector<std::string>& folders);

private:
    void onNewConnection();

    QString m_socketPath;
    QString m_lockPath;
    std::unique_ptr<QLockFile> m_lock;
    QLocalServer* m_server = nullptr;
    bool m_first = false;
};

} // namespace foldersize
