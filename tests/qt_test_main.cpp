// Test main for everything that draws or opens widgets: a QApplication on the
// offscreen platform whose screen is 1920x1080, like the machines in class.
#include <QApplication>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  QTemporaryDir configDir;
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") ||
      qEnvironmentVariable("QT_QPA_PLATFORM") == QLatin1String("offscreen")) {
    // The offscreen plugin's screen is 800x800 unless a config file says otherwise.
    const QString config = configDir.filePath(QStringLiteral("screen.json"));
    QFile file(config);
    if (file.open(QIODevice::WriteOnly)) {
      file.write(R"({"screens":[{"name":"screen0","x":0,"y":0,"width":1920,"height":1080,)"
                 R"("logicalDpiX":96,"logicalDpiY":96,"dpr":1}]})");
      file.close();
    }
    const std::string platform = "offscreen:configfile=" + config.toStdString();
    setenv("QT_QPA_PLATFORM", platform.c_str(), 1);
  }
  QApplication app(argc, argv);
  return RUN_ALL_TESTS();
}
