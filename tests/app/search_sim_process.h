// The built search simulator as a child process, for desktop tests that run
// the whole program against it.
#pragma once

#include <QProcess>
#include <QString>
#include <QStringList>
#include <memory>

namespace oc::testing {

class SearchSimProcess {
  public:
    // Starts search-sim on the repository's corpus with the extra arguments
    // (port 0: a free one), one highlight per shared run as the 经典 figures of
    // these cases assume; empty url() when it did not come up.
    explicit SearchSimProcess(const QStringList& extra, int port = 0) {
        process_ = std::make_unique<QProcess>();
        process_->setProcessChannelMode(QProcess::SeparateChannels);
        // Its log would fill the pipe and stall it.
        process_->setStandardErrorFile(QProcess::nullDevice());
        QStringList args{
            QStringLiteral("--corpus"),    QStringLiteral(OC_SOURCE_DIR "/data/corpus"),
            QStringLiteral("--port"),      QString::number(port),
            QStringLiteral("--highlight"), QStringLiteral("runs")};
        process_->start(QStringLiteral(OC_BIN_DIR "/search-sim"), args + extra);
        if (!process_->waitForStarted(5000)) {
            return;
        }
        QByteArray out;
        while (!out.contains('\n') && process_->waitForReadyRead(5000)) {
            out += process_->readAllStandardOutput();
        }
        const QString line = QString::fromUtf8(out).section(QLatin1Char('\n'), 0, 0);
        if (line.startsWith(QStringLiteral("listening on "))) {
            url_ = line.mid(13).trimmed();
            port_ = url_.section(QLatin1Char(':'), -1).toInt();
        }
    }
    ~SearchSimProcess() { stop(); }
    SearchSimProcess(const SearchSimProcess&) = delete;
    SearchSimProcess& operator=(const SearchSimProcess&) = delete;

    const QString& url() const { return url_; }
    int port() const { return port_; }

    void stop() {
        if (process_->state() != QProcess::NotRunning) {
            process_->kill();
            process_->waitForFinished(5000);
        }
    }

  private:
    std::unique_ptr<QProcess> process_;
    QString url_;
    int port_ = 0;
};

}  // namespace oc::testing
