#include "session/classroom/class_broker.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

#ifdef Q_OS_UNIX
#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>
#endif
#ifdef Q_OS_LINUX
#include <csignal>
#include <sys/prctl.h>
#endif

namespace mv {

namespace {

QString Find(const QString& name) {
    QString found = QStandardPaths::findExecutable(name);
    // Debian installs the broker for the system's service, outside a user's PATH.
    if (found.isEmpty())
        found = QStandardPaths::findExecutable(name, {"/usr/sbin", "/usr/local/sbin"});
    return found;
}

// Written whole before anyone may read it: the files hold passwords.
QString WritePrivate(const QString& path, const QByteArray& text) {
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) ||
        !file.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner) ||
        file.write(text) != text.size() || !file.flush())
        return QString("Cannot write %1: %2").arg(path, file.errorString());
    return {};
}

} // namespace

ClassBroker::ClassBroker(QObject* parent) : QObject(parent) {
    process_.setProcessChannelMode(QProcess::MergedChannels);
#ifdef Q_OS_LINUX
    // Run in the child between fork and exec: the broker is sent SIGTERM when the station's
    // thread that started it dies, however it dies (kill -9 too), so it never holds the port
    // with nobody to stop it. A parent already gone before this ran leaves the child to init:
    // it ends itself rather than run on orphaned.
    const pid_t station = ::getpid();
    process_.setChildProcessModifier([station] {
        ::prctl(PR_SET_PDEATHSIG, SIGTERM);
        if (::getppid() != station) ::_exit(1);
    });
#endif
    connect(&process_, &QProcess::readyRead, this,
            [this] { log_ += QString::fromUtf8(process_.readAll()); });
    connect(&process_, &QProcess::finished, this, [this] {
        log_ += QString::fromUtf8(process_.readAll());
        if (!stopping_) emit stopped("The class's broker stopped: " + log_.trimmed());
    });
}

ClassBroker::~ClassBroker() {
    Stop();
}

QString ClassBroker::Program() {
    return Find("mosquitto");
}

int ClassBroker::FreePort() {
#ifdef Q_OS_UNIX
    const int s = ::socket(AF_INET, SOCK_STREAM, 0);
    if (s < 0) return 0;
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    a.sin_port = 0;
    socklen_t length = sizeof a;
    int port = 0;
    if (::bind(s, reinterpret_cast<sockaddr*>(&a), sizeof a) == 0 &&
        ::getsockname(s, reinterpret_cast<sockaddr*>(&a), &length) == 0)
        port = ntohs(a.sin_port);
    ::close(s);
    return port;
#else
    return 0;
#endif
}

QString ClassBroker::WriteConfig(const QString& folder, const QString& address, int port,
                                 const QString& classCode,
                                 const std::vector<ClassAccount>& accounts) {
    const QDir dir(folder);
    const QString passwords = dir.filePath("passwords"), acl = dir.filePath("acl"),
                  config = dir.filePath("mosquitto.conf");
    // Plain "user:password" lines, hashed in place by mosquitto_passwd -U: one run for the
    // whole class rather than one per seat.
    QByteArray plain, rights;
    const QString root = "marovane/" + classCode + "/";
    for (const ClassAccount& a : accounts) {
        if (a.User.contains(':') || a.User.contains('\n') || a.Password.contains('\n'))
            return "An account's name or password holds a colon or a line break: " + a.User;
        plain += (a.User + ":" + a.Password + "\n").toUtf8();
        if (a.Instructor)
            rights += ("user " + a.User + "\ntopic readwrite " + root + "#\n\n").toUtf8();
    }
    // Every other account is a seat, its user name its seat's name: it writes only its own
    // seat's topics, reads the instructor's, and of the other seats only their state and
    // status (to see their ships in one sea), never their answers or records.
    rights += ("pattern write " + root + "seat/%u/#\npattern read " + root +
               "instructor/#\npattern read " + root + "seat/+/state\npattern read " + root +
               "seat/+/status\n")
                  .toUtf8();
    if (QString e = WritePrivate(passwords, plain); !e.isEmpty()) return e;
    if (QString e = WritePrivate(acl, rights); !e.isEmpty()) return e;
    const QString tool = Find("mosquitto_passwd");
    if (tool.isEmpty()) return "mosquitto_passwd is not installed (the package mosquitto)";
    QProcess hash;
    hash.start(tool, {"-U", passwords});
    if (!hash.waitForFinished(10000) || hash.exitCode() != 0)
        return "mosquitto_passwd could not hash the class's passwords: " +
               QString::fromUtf8(hash.readAllStandardError()).trimmed();
    QByteArray text = ("listener " + QString::number(port) + " " + address + "\n").toUtf8();
    if (tls_.enabled()) {
        // The broker would only say "Unable to load" of a missing file, after it is started.
        // Each file is PEM text whose armour names what it holds; 64 KiB is past any header.
        const struct {
            const QString& File;
            const char *What, *Armour;
        } files[] = {{tls_.CertFile, "certificate", "CERTIFICATE-----"},
                     {tls_.KeyFile, "private key", "PRIVATE KEY-----"},
                     {tls_.CaFile, "CA certificate", "CERTIFICATE-----"}};
        for (const auto& f : files) {
            if (f.File.isEmpty()) return QString("A broker with TLS needs its %1 file").arg(f.What);
            QFile pem(f.File);
            if (!pem.open(QIODevice::ReadOnly) || !pem.peek(65536).contains(f.Armour))
                return QString("Cannot use %1 as the broker's %2: %3")
                    .arg(f.File, f.What,
                         pem.isOpen() ? QString("not a PEM %1 file").arg(f.What)
                                      : pem.errorString());
        }
        const auto absolute = [](const QString& f) { return QFileInfo(f).absoluteFilePath(); };
        text += ("cafile " + absolute(tls_.CaFile) + "\ncertfile " + absolute(tls_.CertFile) +
                 "\nkeyfile " + absolute(tls_.KeyFile) + "\n")
                    .toUtf8();
    }
    text += ("allow_anonymous false\npassword_file " + passwords + "\nacl_file " + acl +
             "\npersistence false\nlog_dest stderr\n" + "log_timestamp false\n")
                .toUtf8();
#ifdef Q_OS_UNIX
    // Started by root the broker would turn itself into the user "mosquitto", who cannot read
    // the files above.
    if (::geteuid() == 0) text += "user root\n";
#endif
    return WritePrivate(config, text);
}

QString ClassBroker::Start(const QString& folder, const QString& address, int port,
                           const QString& classCode, const std::vector<ClassAccount>& accounts,
                           int waitMs) {
    Stop();
    const QString program = Program();
    if (program.isEmpty())
        return "The Mosquitto broker is not installed (the package mosquitto); join a class "
               "whose broker runs elsewhere, or install it";
    if (QString e = WriteConfig(folder, address, port, classCode, accounts); !e.isEmpty()) return e;
    log_.clear();
    stopping_ = false;
    process_.start(program, {"-c", QDir(folder).filePath("mosquitto.conf")});
    if (!process_.waitForStarted(waitMs))
        return "The broker did not start: " + process_.errorString();
    // It says so once its listener is open; a port taken or a bad file ends it at once.
    const QDeadlineTimer deadline(waitMs);
    while (!log_.contains(" running") && process_.state() == QProcess::Running &&
           !deadline.hasExpired())
        process_.waitForReadyRead(static_cast<int>(qMax<qint64>(1, deadline.remainingTime())));
    if (log_.contains(" running") && process_.state() == QProcess::Running) {
        port_ = port;
        return {};
    }
    const QString said = log_.trimmed();
    Stop();
    return QString("The broker did not listen on %1:%2 within %3 s%4")
        .arg(address)
        .arg(port)
        .arg(waitMs / 1000)
        .arg(said.isEmpty() ? QString() : ": " + said);
}

void ClassBroker::Stop() {
    if (process_.state() == QProcess::NotRunning) return;
    stopping_ = true;
    process_.terminate();
    if (!process_.waitForFinished(3000)) {
        process_.kill();
        process_.waitForFinished(1000);
    }
    port_ = 0;
}

} // namespace mv
