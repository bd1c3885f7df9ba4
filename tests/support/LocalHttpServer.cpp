#include "LocalHttpServer.h"

#include "FixtureTree.h"

#include <QEventLoop>
#include <QFile>
#include <QSslConfiguration>
#include <QSslServer>
#include <QHostAddress>
#include <QTcpSocket>
#include <QTimer>
#include <algorithm>

namespace tarnwick::testing {

QByteArray RecordedRequest::header(const QByteArray &name) const
{
    for (const auto &[key, value] : headers) {
        if (key.compare(name, Qt::CaseInsensitive) == 0) {
            return value;
        }
    }
    return {};
}

QList<QByteArray> RecordedRequest::headerNames() const
{
    QList<QByteArray> names;
    for (const auto &header : headers) {
        names.append(header.first.toLower());
    }
    std::sort(names.begin(), names.end());
    return names;
}

std::optional<TlsIdentity> trustedLocalIdentity(const std::string &folder)
{
    const std::string key = folder + "/key.pem";
    const std::string certificate = folder + "/certificate.pem";
    int status = -1;
    runCommand("openssl req -x509 -newkey rsa:2048 -nodes -days 2 -subj /CN=127.0.0.1 "
               "-addext subjectAltName=IP:127.0.0.1 -keyout " + shellQuote(key) + " -out " +
                   shellQuote(certificate) + " 2>/dev/null",
               &status);
    QFile keyFile(QString::fromStdString(key));
    QFile certificateFile(QString::fromStdString(certificate));
    if (status != 0 || !keyFile.open(QIODevice::ReadOnly) || !certificateFile.open(QIODevice::ReadOnly)) {
        return std::nullopt;
    }
    TlsIdentity identity{QSslCertificate(&certificateFile, QSsl::Pem), QSslKey(&keyFile, QSsl::Rsa, QSsl::Pem)};
    if (identity.certificate.isNull() || identity.key.isNull()) {
        return std::nullopt;
    }
    QSslConfiguration trusting = QSslConfiguration::defaultConfiguration();
    trusting.addCaCertificate(identity.certificate);
    QSslConfiguration::setDefaultConfiguration(trusting);
    return identity;
}

LocalHttpServer::LocalHttpServer(const std::optional<TlsIdentity> &tls)
{
    if (tls) {
        auto server = std::make_unique<QSslServer>();
        QSslConfiguration configuration = QSslConfiguration::defaultConfiguration();
        configuration.setLocalCertificate(tls->certificate);
        configuration.setPrivateKey(tls->key);
        configuration.setPeerVerifyMode(QSslSocket::VerifyNone);
        server->setSslConfiguration(configuration);
        m_server = std::move(server);
        m_scheme = QStringLiteral("https");
    } else {
        m_server = std::make_unique<QTcpServer>();
        m_scheme = QStringLiteral("http");
    }
    // Emitted once a connection is ready to use, which for TLS is after the handshake.
    connect(m_server.get(), &QTcpServer::pendingConnectionAvailable, this, &LocalHttpServer::accept);
    m_server->listen(QHostAddress::LocalHost, 0);
}

LocalHttpServer::~LocalHttpServer()
{
    // Sockets still open emit `disconnected` while they are destroyed; none of that may reach us.
    for (QTcpSocket *socket : m_server->findChildren<QTcpSocket *>()) {
        socket->disconnect(this);
    }
}

QUrl LocalHttpServer::url(const QString &path) const
{
    return QUrl(QStringLiteral("%1://127.0.0.1:%2%3").arg(m_scheme).arg(port()).arg(path));
}

QUrl LocalHttpServer::refusingUrl(const QString &path)
{
    // The port was free a moment ago and nothing in the test binds it again, so connecting to it
    // is refused.
    QTcpServer probe;
    probe.listen(QHostAddress::LocalHost, 0);
    const quint16 port = probe.serverPort();
    probe.close();
    return QUrl(QStringLiteral("http://127.0.0.1:%1%2").arg(port).arg(path));
}

void LocalHttpServer::respondWith(CannedResponse response)
{
    m_response = std::move(response);
    m_answer = true;
}

bool LocalHttpServer::waitForRequests(size_t count, int timeoutMilliseconds)
{
    if (m_requests.size() >= count) {
        return true;
    }
    QEventLoop loop;
    QTimer timer;
    timer.setSingleShot(true);
    connect(&timer, &QTimer::timeout, &loop, &QEventLoop::quit);
    connect(this, &LocalHttpServer::requestReceived, &loop, [&] {
        if (m_requests.size() >= count) {
            loop.quit();
        }
    });
    timer.start(timeoutMilliseconds);
    loop.exec();
    return m_requests.size() >= count;
}

void LocalHttpServer::accept()
{
    while (QTcpSocket *socket = m_server->nextPendingConnection()) {
        m_buffers.insert(socket, {});
        connect(socket, &QTcpSocket::readyRead, this, [this, socket] { read(socket); });
        connect(socket, &QTcpSocket::disconnected, this, [this, socket] {
            m_buffers.remove(socket);
            socket->deleteLater();
        });
        // Over TLS a request can arrive with the end of the handshake, before the connection is
        // handed out; its readyRead is gone by now, so read what is already there.
        if (socket->bytesAvailable() > 0) {
            read(socket);
        }
    }
}

void LocalHttpServer::read(QTcpSocket *socket)
{
    auto buffer = m_buffers.find(socket);
    if (buffer == m_buffers.end()) {
        return;
    }
    buffer->append(socket->readAll());
    RecordedRequest request;
    bool malformed = false;
    if (!takeRequest(*buffer, request, malformed)) {
        if (malformed) {
            socket->abort();
        }
        return;
    }
    // Only one request per connection: every answer closes it, so nothing can follow.
    m_buffers.remove(socket);
    m_requests.push_back(std::move(request));
    if (m_answer) {
        answer(socket);
    } else {
        socket->disconnectFromHost();
    }
    emit requestReceived();
}

bool LocalHttpServer::takeRequest(QByteArray &buffer, RecordedRequest &request, bool &malformed)
{
    const qsizetype headerEnd = buffer.indexOf("\r\n\r\n");
    if (headerEnd < 0) {
        return false;
    }
    const QList<QByteArray> lines = buffer.left(headerEnd).split('\n');
    const QList<QByteArray> requestLine = lines.front().trimmed().split(' ');
    if (requestLine.size() != 3) {
        malformed = true;
        return false;
    }
    request.method = requestLine[0];
    request.path = requestLine[1];
    for (qsizetype i = 1; i < lines.size(); ++i) {
        const QByteArray line = lines[i].trimmed();
        const qsizetype colon = line.indexOf(':');
        if (colon <= 0) {
            malformed = true;
            return false;
        }
        request.headers.append({line.left(colon), line.mid(colon + 1).trimmed()});
    }
    bool lengthIsNumber = true;
    const QByteArray lengthText = request.header("Content-Length");
    const qsizetype length = lengthText.isEmpty() ? 0 : lengthText.toLongLong(&lengthIsNumber);
    if (!lengthIsNumber || length < 0) {
        malformed = true;
        return false;
    }
    const qsizetype bodyStart = headerEnd + 4;
    if (buffer.size() - bodyStart < length) {
        return false;
    }
    request.body = buffer.mid(bodyStart, length);
    buffer.remove(0, bodyStart + length);
    return true;
}

void LocalHttpServer::answer(QTcpSocket *socket)
{
    QByteArray reply = "HTTP/1.1 " + QByteArray::number(m_response.status) + ' ' + m_response.reason + "\r\n";
    for (const auto &[name, value] : m_response.headers) {
        reply += name + ": " + value + "\r\n";
    }
    reply += "Content-Length: " + QByteArray::number(m_response.body.size()) + "\r\n";
    reply += "Connection: close\r\n\r\n";
    reply += m_response.body;
    socket->write(reply);
    socket->disconnectFromHost();
}

}  // namespace tarnwick::testing
