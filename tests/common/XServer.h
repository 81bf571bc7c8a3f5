// An X server of a test's own: Xvfb on a free display, stopped when the
// object goes. Tests that run programs under a real X server share it.
#pragma once

#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QString>
#include <QThread>

#include <unistd.h>

// An Xvfb of its own on the first free display from a number that depends on
// the process, so that tests running side by side do not meet.
class TXServer {
public:
  ~TXServer() {
    if (Server.state() == QProcess::NotRunning) return;
    Server.terminate();
    if (!Server.waitForFinished(5000)) {
      Server.kill();
      Server.waitForFinished(5000);
    }
  }

  // A screen of that size in pixels, 24 bits deep.
  bool Start(int width = 1920, int height = 1080) {
    const QString screen = QStringLiteral("%1x%2x24").arg(width).arg(height);
    for (int tries = 0, n = 100 + getpid() % 400; tries < 40; ++tries, ++n) {
      const QString socket = QStringLiteral("/tmp/.X11-unix/X%1").arg(n);
      if (QFile::exists(QStringLiteral("/tmp/.X%1-lock").arg(n)) || QFile::exists(socket)) continue;
      Server.setProcessChannelMode(QProcess::ForwardedErrorChannel);
      Server.setStandardOutputFile(QProcess::nullDevice());
      Server.start(QStringLiteral("Xvfb"), {QStringLiteral(":%1").arg(n), "-screen", "0", screen,
                                            "-nolisten", "tcp", "-noreset"});
      if (!Server.waitForStarted(5000)) return false;
      // Ready once it listens on its socket; a display taken meanwhile makes it quit.
      QElapsedTimer clock;
      clock.start();
      while (clock.elapsed() < 15000 && Server.state() == QProcess::Running) {
        if (QFile::exists(socket)) {
          Display = QStringLiteral(":%1").arg(n);
          return true;
        }
        QThread::msleep(20);
      }
      Server.kill();
      Server.waitForFinished(5000);
    }
    return false;
  }

  QString Display;

private:
  QProcess Server;
};
