#include "ExampleApplication.h"

#include <QDir>

#include "windows/Questions.h"

namespace zel::examples {

namespace {

// The platform must be chosen before the application object exists.
void choosePlatform() {
    const bool display =
        !qEnvironmentVariableIsEmpty("DISPLAY") || !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY");
    if (!display) qputenv("QT_QPA_PLATFORM", "offscreen");
}

QStringList pdfJobsIn(const QString& directory) {
    return QDir(directory).entryList({QStringLiteral("job-*.pdf")}, QDir::Files, QDir::Name);
}

}  // namespace

ExampleApplication::ExampleApplication(int& argc, char** argv) {
    choosePlatform();
    app_ = std::make_unique<QApplication>(argc, argv);
    QApplication::setApplicationName(QStringLiteral("ZelPrintDemo"));
    QApplication::setQuitOnLastWindowClosed(false);
    if (QGuiApplication::platformName() == QLatin1String("offscreen"))
        installAnswerer(noDisplayAnswerer);
}

ExampleApplication::~ExampleApplication() = default;

JobWatch::JobWatch() : destination_(currentDestination()) {
    if (isPdf()) before_ = pdfJobsIn(destination_.pdfDirectory);
}

QStringList JobWatch::results() const {
    if (!isPdf()) return {destination_.queue};
    QStringList made;
    const QDir directory(destination_.pdfDirectory);
    for (const QString& name : pdfJobsIn(directory.path()))
        if (!before_.contains(name)) made << directory.absoluteFilePath(name);
    return made;
}

}  // namespace zel::examples
