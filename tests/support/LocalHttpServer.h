#pragma once

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QObject>
#include <QPair>
#include <QSslCertificate>
#include <QSslKey>
#include <QTcpServer>
#include <QUrl>
#include <memory>
#include <optional>
#include <string>
#include <vector>

class QTcpSocket;

namespace tarnwick::testing {

using HttpHeaders = QList<QPair<QByteArray, QByteArray>>;

// One request as it arrived on the wire, headers in their order of arrival.
struct RecordedRequest {
    QByteArray method;
    QByteArray path;
    HttpHeaders headers;
    QByteArray body;

    // The value of the first header with this name (compared without case); empty when absent.
    QByteArray header(const QByteArray &name) const;
    // Every header name, lower-cased, sorted, so tests can compare header sets.
    QList<QByteArray> headerNames() const;
};

// A certificate for 127.0.0.1 and its key, for a server that speaks HTTPS.
struct TlsIdentity {
    QSslCertificate certificate;
    QSslKey key;
};

// Makes a fresh self-signed identity for IP 127.0.0.1 with the openssl tool, in `folder`, and
// makes this process trust it for every later TLS connection. Nothing when openssl is missing.
std::optional<TlsIdentity> trustedLocalIdentity(const std::string &folder);

struct CannedResponse {
    int status = 200;
    QByteArray reason = "OK";
    HttpHeaders headers;
    // An empty body is sent as "Content-Length: 0".
    QByteArray body;
};

// A real HTTP/1.1 server on 127.0.0.1 and a port of the system's choosing, for tests of code that
// talks HTTP. Runs on the test's thread, so the test must spin the event loop while it waits.
// Every request is recorded and answered with the configured response (Content-Length and
// "Connection: close" are added), or, after closeWithoutAnswering(), the connection is closed
// as soon as a whole request has arrived.
class LocalHttpServer : public QObject {
    Q_OBJECT
public:
    // Plain HTTP, or HTTPS with the given identity.
    explicit LocalHttpServer(const std::optional<TlsIdentity> &tls = std::nullopt);
    ~LocalHttpServer() override;

    bool isListening() const { return m_server->isListening(); }
    quint16 port() const { return m_server->serverPort(); }
    QUrl url(const QString &path) const;

    void respondWith(CannedResponse response);
    void closeWithoutAnswering() { m_answer = false; }

    const std::vector<RecordedRequest> &requests() const { return m_requests; }
    // Spins the event loop until `count` requests have arrived or the time is up.
    bool waitForRequests(size_t count, int timeoutMilliseconds = 10000);

    // A URL on 127.0.0.1 whose port nothing listens on, so a connection is refused.
    static QUrl refusingUrl(const QString &path);

signals:
    void requestReceived();

private:
    void accept();
    void read(QTcpSocket *socket);
    // Takes one complete request off the front of `buffer`; false while it is still incomplete.
    bool takeRequest(QByteArray &buffer, RecordedRequest &request, bool &malformed);
    void answer(QTcpSocket *socket);

    QHash<QTcpSocket *, QByteArray> m_buffers;
    std::vector<RecordedRequest> m_requests;
    CannedResponse m_response;
    bool m_answer = true;
    // Last, so its sockets go before the state their handlers use.
    std::unique_ptr<QTcpServer> m_server;
    QString m_scheme;
};

}  // namespace tarnwick::testing
