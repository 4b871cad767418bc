#pragma once
// One connection to the class's broker through libmosquitto, speaking MQTT 5 so that the broker
// can say why it refuses a connection or a message. libmosquitto's own network thread does the
// talking; everything it reports is posted into Qt's event loop, so the signals below come on
// the thread that owns the link, like any other Qt signal. The link reconnects by itself with a
// growing wait (1 s to 30 s) after a dropped connection, and a message sent with QoS 1 is kept
// by the library until the broker has acknowledged it, across a reconnection too.

#include <QByteArray>
#include <QList>
#include <QObject>
#include <QPair>
#include <QSet>
#include <QString>

#include <atomic>
#include <functional>
#include <optional>

struct mosquitto;

namespace mv {

class ClassLink : public QObject {
    Q_OBJECT
  public:
    struct Settings {
        QString Host = "127.0.0.1";
        int Port = 1883;
        QString User, Password;
        QString ClientId; // unique in the class: the broker drops an older link under the same
        // Published by the broker for us if the link is lost without a goodbye.
        QString WillTopic;
        QByteArray WillPayload;
        // Seconds without a word before the broker counts the link lost (after half as long
        // again) and sends its will; libmosquitto takes 5 at the least.
        int KeepAlive = 30;
        // The CA certificate (PEM) that must have signed the broker's: set, the link speaks
        // TLS and refuses a broker it cannot prove; empty, a plain link.
        QString CaFile;
        // The broker's certificate must name the host dialled. Off only for the station's own
        // broker on 127.0.0.1, whose certificate names the machine as the seats know it.
        bool CheckHost = true;
    };

    // The settings of a link into the class `classCode` under the account `user`, the client
    // named after the class and `who` (the seat's account, or "instructor"). None, with the
    // reason in `error`, when the code could not be a topic level.
    static std::optional<Settings> ForClass(const QString& host, int port, const QString& classCode,
                                            const QString& user, const QString& password,
                                            const QString& who, QString& error);

    explicit ClassLink(QObject* parent = nullptr);
    ~ClassLink() override;

    // Starts connecting; connected() or refused() follows. False, with the reason in error(),
    // when the connection cannot even be begun (no such host, a bad setting).
    bool Open(const Settings& settings);
    // Says goodbye to the broker (the last will is not sent) and stops.
    void Close();
    // Stops without a goodbye, as a program that is killed or loses its cable: the broker
    // publishes the last will. For tests of a seat lost.
    void Drop();

    // Sends a message: with QoS 1 it is kept until the broker has it, across reconnections.
    // False with error() set when the library would not take it.
    bool Publish(const QString& topic, const QByteArray& payload, int qos, bool retain);
    bool Subscribe(const QString& topic, int qos);

    bool isConnected() const { return connected_; }
    // Messages of QoS 1 the broker has not yet acknowledged.
    int pending() const { return static_cast<int>(pending_.size()); }
    const QString& error() const { return error_; }

  signals:
    void connected();
    // The broker refused the connection (a wrong password, an unknown account): the link gives
    // up rather than knock again with the same key.
    void refused(const QString& why);
    // The connection dropped; the link is trying again.
    void disconnected(const QString& why);
    void message(const QString& topic, const QByteArray& payload);
    // The broker took a message of QoS 1 (`ok`), or refused it with `why` (a topic the
    // account may not write).
    void published(int id, bool ok, const QString& why);

  private:
    // Called on the Qt thread with what the network thread saw.
    void OnConnect(int reason);
    void OnDisconnect(int reason);
    void OnPublish(int id, int reason);
    void OnTlsFailure(const QString& line);
    QString TlsFailureText() const;
    void Stop(bool goodbye);
    // Hands what the network thread saw to the Qt thread.
    void Post(std::function<void(ClassLink&)> f);

    struct mosquitto* mosq_ = nullptr;
    bool connected_ = false;
    bool looping_ = false;
    bool tlsRefused_ = false;
    std::atomic<quint64> generation_{0}; // one more for every connection stopped
    QSet<int> pending_;
    QList<QPair<QString, int>> subscriptions_;
    QString error_;
    Settings settings_;
};

} // namespace mv
