#include "session/classroom/class_link.h"

#include "core/classroom/class_messages.h"

#include <QFile>
#include <QMetaObject>

#include <mosquitto.h>
#include <mqtt_protocol.h>

#include <cstring>
#include <mutex>
#include <utility>

namespace mv {

namespace {

void InitLibrary() {
    static std::once_flag once;
    std::call_once(once, [] { mosquitto_lib_init(); });
}

// The link an event of the network thread belongs to; the events are handed to the Qt thread,
// which owns every field of the link.
ClassLink* LinkOf(void* obj) {
    return static_cast<ClassLink*>(obj);
}

QString ReasonText(int reason) {
    return QString::fromUtf8(mosquitto_reason_string(reason));
}

// The refusals that knocking again with the same account cannot mend.
bool Final(int reason) {
    return reason == MQTT_RC_BAD_USERNAME_OR_PASSWORD || reason == MQTT_RC_NOT_AUTHORIZED ||
           reason == MQTT_RC_BANNED || reason == MQTT_RC_CLIENTID_NOT_VALID ||
           reason == MQTT_RC_UNSUPPORTED_PROTOCOL_VERSION;
}

} // namespace

std::optional<ClassLink::Settings> ClassLink::ForClass(const QString& host, int port,
                                                       const QString& classCode,
                                                       const QString& user, const QString& password,
                                                       const QString& who, QString& error) {
    if (!IsClassName(classCode.toStdString())) {
        error = "A class code is 1 to 32 letters, digits, '-' or '_': " + classCode;
        return std::nullopt;
    }
    Settings s;
    s.Host = host;
    s.Port = port;
    s.User = user;
    s.Password = password;
    s.ClientId = "marovane-" + classCode + "-" + who;
    return s;
}

ClassLink::ClassLink(QObject* parent) : QObject(parent) {
    InitLibrary();
}

ClassLink::~ClassLink() {
    Stop(true);
}

bool ClassLink::Open(const Settings& settings) {
    Stop(true);
    settings_ = settings;
    error_.clear();
    tlsRefused_ = false;
    const QByteArray id = settings.ClientId.toUtf8();
    mosq_ = mosquitto_new(id.isEmpty() ? nullptr : id.constData(), true, this);
    if (!mosq_) {
        error_ = "The class link could not be made (out of memory?)";
        return false;
    }
    mosquitto_int_option(mosq_, MOSQ_OPT_PROTOCOL_VERSION, MQTT_PROTOCOL_V5);
    // A dropped link is tried again after 1 s, then 2, 4 ... up to 30 s, so that thirty seats
    // coming back after the broker restarts do not all knock at once.
    mosquitto_reconnect_delay_set(mosq_, 1, 30, true);
    const QByteArray user = settings.User.toUtf8(), password = settings.Password.toUtf8();
    if (!settings.User.isEmpty())
        mosquitto_username_pw_set(mosq_, user.constData(), password.constData());
    if (!settings.CaFile.isEmpty()) {
        // Read here first, so that a wrong path is told as such rather than as a refusal.
        QFile ca(settings.CaFile);
        if (!ca.open(QIODevice::ReadOnly) || !ca.peek(65536).contains("CERTIFICATE-----")) {
            error_ = QString("Cannot use %1 as the class's CA certificate: %2")
                         .arg(settings.CaFile,
                              ca.isOpen() ? QString("not a PEM certificate") : ca.errorString());
            Stop(false);
            return false;
        }
        const QByteArray path = QFile::encodeName(settings.CaFile);
        const int rc =
            mosquitto_tls_set(mosq_, path.constData(), nullptr, nullptr, nullptr, nullptr);
        if (rc != MOSQ_ERR_SUCCESS) {
            error_ = QString("Cannot use %1 as the class's CA certificate: %2")
                         .arg(settings.CaFile, QString::fromUtf8(mosquitto_strerror(rc)));
            Stop(false);
            return false;
        }
        if (!settings.CheckHost) mosquitto_tls_insecure_set(mosq_, true);
    }
    if (!settings.WillTopic.isEmpty()) {
        const QByteArray topic = settings.WillTopic.toUtf8();
        mosquitto_will_set_v5(mosq_, topic.constData(),
                              static_cast<int>(settings.WillPayload.size()),
                              settings.WillPayload.constData(), 1, true, nullptr);
    }
    mosquitto_connect_v5_callback_set(
        mosq_, [](struct mosquitto*, void* obj, int reason, int, const mosquitto_property*) {
            LinkOf(obj)->Post([reason](ClassLink& link) { link.OnConnect(reason); });
        });
    mosquitto_disconnect_v5_callback_set(
        mosq_, [](struct mosquitto*, void* obj, int reason, const mosquitto_property*) {
            LinkOf(obj)->Post([reason](ClassLink& link) { link.OnDisconnect(reason); });
        });
    mosquitto_publish_v5_callback_set(
        mosq_, [](struct mosquitto*, void* obj, int mid, int reason, const mosquitto_property*) {
            LinkOf(obj)->Post([mid, reason](ClassLink& link) { link.OnPublish(mid, reason); });
        });
    mosquitto_message_v5_callback_set(mosq_, [](struct mosquitto*, void* obj,
                                                const struct mosquitto_message* m,
                                                const mosquitto_property*) {
        const QString topic = QString::fromUtf8(m->topic);
        const QByteArray payload(static_cast<const char*>(m->payload), m->payloadlen);
        LinkOf(obj)->Post([topic, payload](ClassLink& link) { emit link.message(topic, payload); });
    });
    // A TLS handshake that fails ends the network thread without a word but this line of its
    // log: the one place to learn that the broker could not be proved.
    mosquitto_log_callback_set(
        mosq_, [](struct mosquitto*, void* obj, int level, const char* text) {
            if (level != MOSQ_LOG_ERR || !text || std::strncmp(text, "OpenSSL Error", 13) != 0)
                return;
            const QString line = QString::fromUtf8(text);
            LinkOf(obj)->Post([line](ClassLink& link) { link.OnTlsFailure(line); });
        });
    const QByteArray host = settings.Host.toUtf8();
    const int rc =
        mosquitto_connect_async(mosq_, host.constData(), settings.Port, settings.KeepAlive);
    // A broker not there yet is knocked at again by the network thread; a name that does not
    // resolve, or a setting out of range, is not.
    if (rc == MOSQ_ERR_TLS) {
        error_ = TlsFailureText();
        Stop(false);
        return false;
    }
    if (rc != MOSQ_ERR_SUCCESS && rc != MOSQ_ERR_ERRNO && rc != MOSQ_ERR_NO_CONN) {
        error_ = QString("Cannot reach the class at %1:%2: %3")
                     .arg(settings.Host)
                     .arg(settings.Port)
                     .arg(QString::fromUtf8(mosquitto_strerror(rc)));
        Stop(false);
        return false;
    }
    if (mosquitto_loop_start(mosq_) != MOSQ_ERR_SUCCESS) {
        error_ = "The class link's network thread could not start";
        Stop(false);
        return false;
    }
    looping_ = true;
    return true;
}

void ClassLink::Post(std::function<void(ClassLink&)> f) {
    // An event of a connection since stopped (its thread has been joined, but its events may
    // still wait in the queue) is not the present connection's.
    const quint64 generation = generation_.load();
    QMetaObject::invokeMethod(
        this,
        [this, generation, f = std::move(f)] {
            if (generation == generation_.load()) f(*this);
        },
        Qt::QueuedConnection);
}

void ClassLink::Close() {
    Stop(true);
}

void ClassLink::Drop() {
    Stop(false);
}

void ClassLink::Stop(bool goodbye) {
    if (!mosq_) return;
    if (goodbye && connected_)
        mosquitto_disconnect_v5(mosq_, MQTT_RC_NORMAL_DISCONNECTION, nullptr);
    // Without a goodbye the thread is stopped and the socket closed under it, as a killed
    // program's would be.
    // Between connections the thread may be waiting on a host that does not answer: it is
    // cancelled there rather than waited for.
    if (looping_) mosquitto_loop_stop(mosq_, !goodbye || !connected_);
    looping_ = false;
    ++generation_;
    mosquitto_destroy(mosq_);
    mosq_ = nullptr;
    connected_ = false;
    pending_.clear();
    subscriptions_.clear();
}

bool ClassLink::Publish(const QString& topic, const QByteArray& payload, int qos, bool retain) {
    if (!mosq_) {
        error_ = "Not joined to a class";
        return false;
    }
    int id = 0;
    const QByteArray t = topic.toUtf8();
    const int rc = mosquitto_publish_v5(mosq_, &id, t.constData(), static_cast<int>(payload.size()),
                                        payload.constData(), qos, retain, nullptr);
    // Not connected: a message of QoS 1 is queued all the same and sent on reconnection.
    if (rc == MOSQ_ERR_SUCCESS || (rc == MOSQ_ERR_NO_CONN && qos > 0)) {
        if (qos > 0) pending_.insert(id);
        return true;
    }
    error_ = QString("A message to %1 was not sent: %2")
                 .arg(topic, QString::fromUtf8(mosquitto_strerror(rc)));
    return false;
}

bool ClassLink::Subscribe(const QString& topic, int qos) {
    if (!mosq_) return false;
    subscriptions_.append({topic, qos});
    // Made again on every connection: each begins a clean session.
    if (!connected_) return true;
    const QByteArray t = topic.toUtf8();
    return mosquitto_subscribe_v5(mosq_, nullptr, t.constData(), qos, 0, nullptr) ==
           MOSQ_ERR_SUCCESS;
}

void ClassLink::OnConnect(int reason) {
    if (!mosq_) return;
    if (reason == 0) {
        connected_ = true;
        for (const auto& [topic, qos] : subscriptions_) {
            const QByteArray t = topic.toUtf8();
            mosquitto_subscribe_v5(mosq_, nullptr, t.constData(), qos, 0, nullptr);
        }
        emit connected();
        return;
    }
    error_ = QString("The class at %1:%2 refused %3: %4")
                 .arg(settings_.Host)
                 .arg(settings_.Port)
                 .arg(settings_.User.isEmpty() ? "the connection" : "the account " + settings_.User,
                      ReasonText(reason));
    if (Final(reason)) {
        // Knocking again with the same key would be refused again, and again.
        mosquitto_disconnect(mosq_);
        emit refused(error_);
    } else {
        emit disconnected(error_);
    }
}

QString ClassLink::TlsFailureText() const {
    // A wrong CA, a certificate for another host, or a port without TLS: knocking again would
    // fail alike, and a seat must not be left waiting in silence.
    return QString("The class at %1:%2 could not be proved by the CA certificate %3: the secure "
                   "connection failed (a wrong CA certificate, a certificate for another host, "
                   "or no TLS on that port)")
        .arg(settings_.Host)
        .arg(settings_.Port)
        .arg(settings_.CaFile);
}

void ClassLink::OnTlsFailure(const QString& line) {
    if (!mosq_ || connected_ || tlsRefused_) return;
    tlsRefused_ = true; // OpenSSL says a few lines of one failure: one refusal
    error_ = TlsFailureText() + ": " + line;
    mosquitto_disconnect(mosq_);
    emit refused(error_);
}

void ClassLink::OnDisconnect(int reason) {
    if (!mosq_ || reason == 0) return;
    const bool was = std::exchange(connected_, false);
    if (was) emit disconnected("The link to the class dropped: " + ReasonText(reason));
}

void ClassLink::OnPublish(int id, int reason) {
    if (!mosq_) return;
    pending_.remove(id);
    emit published(id, reason < 128, reason < 128 ? QString() : ReasonText(reason));
}

} // namespace mv
