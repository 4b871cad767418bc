#pragma once
// A Mosquitto broker of the class's own, run by the instructor station: its configuration, its
// accounts and their rights written into a folder, and `mosquitto -c` started on them and
// waited for (a bounded time) until it listens. No one gets in without an account; a seat's
// account writes only under its own seat's topics and reads the instructor's and the other
// seats' state and status, never their answers or records; the instructor's reads and writes
// the whole class.

#include <QObject>
#include <QProcess>
#include <QString>

#include <vector>

namespace mv {

struct ClassAccount {
    QString User; // a seat's account is its seat's name in the topics
    QString Password;
    bool Instructor = false;
};

// A listener that speaks TLS: the broker's certificate and private key (PEM), and the CA
// certificate the seats prove it by (which may be the certificate itself when self-signed).
struct ClassTls {
    QString CertFile, KeyFile, CaFile;
    bool enabled() const { return !CertFile.isEmpty(); }
};

class ClassBroker : public QObject {
    Q_OBJECT
  public:
    explicit ClassBroker(QObject* parent = nullptr);
    ~ClassBroker() override;

    // The broker's program: `mosquitto` on the PATH, or in /usr/sbin where Debian puts it.
    // Empty when it is not installed.
    static QString Program();
    // A TCP port on 127.0.0.1 free at the moment of asking; 0 when none could be had.
    static int FreePort();

    // Writes the configuration for `classCode` into `folder` and starts the broker listening
    // on `address`:`port`, waiting up to `waitMs` for it to listen. An error text, empty once
    // it listens; on error nothing is left running.
    QString Start(const QString& folder, const QString& address, int port, const QString& classCode,
                  const std::vector<ClassAccount>& accounts, int waitMs = 5000);
    void Stop();
    // The next Start listens with TLS (an empty ClassTls: plain TCP). Files are checked at Start.
    void SetTls(const ClassTls& tls) { tls_ = tls; }
    bool isRunning() const { return process_.state() == QProcess::Running; }
    int port() const { return port_; }
    // What the broker said on its way (its log), for a message when it stops by itself.
    QString log() const { return log_; }

  signals:
    // The broker stopped by itself (not by Stop): every link to it drops.
    void stopped(const QString& why);

  private:
    QString WriteConfig(const QString& folder, const QString& address, int port,
                        const QString& classCode, const std::vector<ClassAccount>& accounts);

    QProcess process_;
    QString log_;
    int port_ = 0;
    ClassTls tls_;
    bool stopping_ = false;
};

} // namespace mv
