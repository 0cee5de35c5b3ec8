#pragma once

#include <QString>
#include <cstdint>
#include <memory>
#include <mutex>

namespace zel {

class ContextScreen;
class PrinterSurface;
class UserQuestions;
struct mdlPrint;

// A print context's windows and questions once they are made (the windows library's
// PrintWindows): what the print objects ask of them. ContextWindows makes them on first need.
class LoadedWindows {
public:
    virtual ~LoadedWindows() = default;

    virtual bool frmLoaded() const = 0;
    virtual void unloadFrm() = 0;
    virtual void unloadOk() = 0;
    virtual void showConfirmation() = 0;
    virtual void closeQuestions() = 0;
    virtual void CalcMetrics() = 0;
    virtual void setFontName(const QString& name) = 0;
    virtual void setFontSize(float points) = 0;
    virtual void setFontBold(bool bold) = 0;
    virtual void setForeColor(int32_t colour) = 0;
    virtual void setBackColor(int32_t colour) = 0;
    virtual ContextScreen& screen() = 0;
    virtual UserQuestions& questions() = 0;
    virtual std::recursive_mutex& handlers() = 0;
};

// Makes the windows of a context: the windows library's, in a program that links it; zelprint
// loads that library as a module on the first call (a job that shows and asks nothing never does).
std::unique_ptr<LoadedWindows> makeWindows(mdlPrint& geometry, PrinterSurface& printer);

}  // namespace zel
