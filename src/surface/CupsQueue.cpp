#include "surface/CupsQueue.h"

#include <cups/cups.h>

#include <QRegularExpression>
#include <optional>

#include "general/SettingsStore.h"
#include "surface/BoundedCall.h"
#include "surface/JobOptions.h"
#include "surface/PaperNames.h"
#include "variant/VbError.h"

namespace zel::cups {

namespace {

VbError queueError(const QString& queue, const QString& reason) {
    return VbError(VbErr::PrinterError,
                   QStringLiteral("Printer error: %1: %2").arg(shownInError(queue), reason));
}

VbError noAnswer(const QString& queue, int milliseconds) {
    return queueError(queue,
                      QStringLiteral("CUPS did not answer within %1 s").arg(milliseconds / 1000));
}

// A connection of its own to the scheduler, for one call on one thread: a wait on it gives up
// after `seconds` without progress, so that no thread hangs on a frozen scheduler for good.
class Connection {
public:
    explicit Connection(int seconds)
        : http_(httpConnect2(cupsServer(), ippPort(), nullptr, AF_UNSPEC, cupsEncryption(), 1,
                             seconds * 1000, nullptr)) {
        if (http_)
            httpSetTimeout(
                http_, seconds, [](http_t*, void*) { return 0; }, nullptr);
    }
    ~Connection() {
        if (http_) httpClose(http_);
    }
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;

    http_t* get() const { return http_; }

private:
    http_t* http_;
};

// A destination of CUPS with what it supports, looked up by name (the default for a null name).
class Destination {
public:
    Destination(const Connection& connection, const char* name)
        : http_(connection.get()),
          dest_(http_ ? cupsGetNamedDest(http_, name, nullptr) : nullptr) {}
    ~Destination() {
        if (info_) cupsFreeDestInfo(info_);
        if (dest_) cupsFreeDests(1, dest_);
    }
    Destination(const Destination&) = delete;
    Destination& operator=(const Destination&) = delete;

    QString name() const { return dest_ ? QString::fromUtf8(dest_->name) : QString(); }
    cups_dinfo_t* info() {
        if (!info_ && dest_) info_ = cupsCopyDestInfo(http_, dest_);
        return info_;
    }
    http_t* http() const { return http_; }
    cups_dest_t* dest() const { return dest_; }

private:
    http_t* http_;
    cups_dest_t* dest_;
    cups_dinfo_t* info_ = nullptr;
};

QString namedDestination(const char* name) {
    const Connection connection(LookupMilliseconds / 1000 - 1);
    return Destination(connection, name).name();
}

// The queue's paper with its unprintable edges, in portrait. A paper asked for by name keeps its
// own size: a PPD gives sizes in whole points of its own rounding (cups-pdf's A5 is 421 points
// wide, the paper 419.5), and CUPS takes that for the paper asked for.
PageLayout layoutOf(const cups_size_t& size, const pwg_media_t* asked = nullptr) {
    return PageLayout(asked ? asked->width : size.width, asked ? asked->length : size.length,
                      QMarginsF(size.left, size.top, size.right, size.bottom));
}

PageLayout lookUpLayout(const QString& queue, const QString& media) {
    const Connection connection(LookupMilliseconds / 1000 - 1);
    Destination destination(connection, queue.toUtf8().constData());
    if (destination.name() != queue) throw queueError(queue, QStringLiteral("unknown queue"));
    cups_dinfo_t* info = destination.info();
    if (!info) throw queueError(queue, QString::fromUtf8(cupsLastErrorString()));
    cups_size_t size;
    // A paper the queue does not know is passed on as lp does; the page is then the default.
    // The queue is asked by the paper's PWG name, as CUPS reads a name in any case.
    const pwg_media_t* wanted = paperNamed(media);
    if (wanted && cupsGetDestMediaByName(destination.http(), destination.dest(), info, wanted->pwg,
                                         CUPS_MEDIA_FLAGS_DEFAULT, &size))
        return layoutOf(size, wanted);
    ipp_attribute_t* fallback =
        cupsFindDestDefault(destination.http(), destination.dest(), info, "media");
    const char* name = fallback ? ippGetString(fallback, 0, nullptr) : nullptr;
    if ((name && cupsGetDestMediaByName(destination.http(), destination.dest(), info, name,
                                        CUPS_MEDIA_FLAGS_DEFAULT, &size)) ||
        cupsGetDestMediaDefault(destination.http(), destination.dest(), info,
                                CUPS_MEDIA_FLAGS_DEFAULT, &size))
        return layoutOf(size);
    throw queueError(queue, QStringLiteral("CUPS names no paper for the queue"));
}

bool readablePageRanges(const QString& ranges) {
    static const QRegularExpression form(QStringLiteral("^\\d+(-\\d*)?(,\\d+(-\\d*)?)*$"));
    if (!form.match(ranges).hasMatch()) return false;
    for (const QString& range : ranges.split(u',')) {
        const int first = range.section(u'-', 0, 0).toInt();
        const QString last = range.section(u'-', 1, 1);
        if (first < 1 || (!last.isEmpty() && last.toInt() < first)) return false;
    }
    return true;
}

// The option that CUPS would refuse at submission, with why; empty when there is none.
QString refusedOption(Destination& destination, const JobOptions& options) {
    for (const JobOptions::Option& option : options.all()) {
        const QString& name = option.first;
        const QString& value = option.second;
        if (name == QLatin1String("page-ranges")) {
            if (!readablePageRanges(value))
                return QStringLiteral("page-ranges=%1: not a list of pages such as 1-3,5")
                    .arg(value);
            continue;
        }
        if (name != QLatin1String("copies") && name != QLatin1String("number-up") &&
            name != QLatin1String("job-sheets"))
            continue;
        cups_dinfo_t* info = destination.info();
        ipp_attribute_t* supported =
            info ? cupsFindDestSupported(destination.http(), destination.dest(), info,
                                         name.toUtf8().constData())
                 : nullptr;
        if (!supported) continue;
        bool ok = true;
        for (const QString& part : value.split(u','))
            ok = ok && cupsCheckDestSupported(destination.http(), destination.dest(), info,
                                              name.toUtf8().constData(), part.toUtf8().constData());
        if (ok) continue;
        char values[1024];
        ippAttributeString(supported, values, sizeof values);
        return QStringLiteral("%1=%2: not supported (the queue takes %3)")
            .arg(name, value, QString::fromUtf8(values));
    }
    return {};
}

}  // namespace

bool JobStatus::ended() const {
    return state == QLatin1String("completed") || state == QLatin1String("aborted") ||
           state == QLatin1String("canceled");
}

QString defaultQueue() {
    return callBounded<QString>([] { return namedDestination(nullptr); }, LookupMilliseconds)
        .value_or(QString());
}

bool queueExists(const QString& queue) {
    if (queue.isEmpty()) return false;
    const QByteArray name = queue.toUtf8();
    return callBounded<QString>([name] { return namedDestination(name.constData()); },
                                LookupMilliseconds)
               .value_or(QString()) == queue;
}

PageLayout queueLayout(const QString& queue, const QString& media) {
    const std::optional<PageLayout> layout = callBounded<PageLayout>(
        [queue, media] { return lookUpLayout(queue, media); }, LookupMilliseconds);
    if (!layout) throw noAnswer(queue, LookupMilliseconds);
    return *layout;
}

void checkOptions(const QString& queue, const JobOptions& options) {
    if (options.isEmpty()) return;
    const std::optional<QString> refused = callBounded<QString>(
        [queue, options] {
            const Connection connection(LookupMilliseconds / 1000 - 1);
            Destination destination(connection, queue.toUtf8().constData());
            if (destination.name() != queue)
                throw queueError(queue, QStringLiteral("unknown queue"));
            return refusedOption(destination, options);
        },
        LookupMilliseconds);
    if (!refused) throw noAnswer(queue, LookupMilliseconds);
    if (!refused->isEmpty()) throw queueError(queue, *refused);
}

int submitPdf(const QString& queue, const QString& path, const JobOptions& options) {
    const QByteArray title = (options.title.isEmpty() ? AppTitle() : options.title).toUtf8();
    const std::optional<int> job = callBounded<int>(
        [queue, path, options, title] {
            const Connection connection(SubmitMilliseconds / 1000 - 2);
            cups_option_t* list = nullptr;
            int count = 0;
            for (const JobOptions::Option& option : options.all())
                count = cupsAddOption(option.first.toUtf8().constData(),
                                      option.second.toUtf8().constData(), count, &list);
            const int id =
                connection.get()
                    ? cupsPrintFile2(connection.get(), queue.toUtf8().constData(),
                                     path.toUtf8().constData(), title.constData(), count, list)
                    : 0;
            const QString reason = QString::fromUtf8(cupsLastErrorString());
            cupsFreeOptions(count, list);
            if (id == 0) throw queueError(queue, reason);
            return id;
        },
        SubmitMilliseconds);
    if (!job)
        throw queueError(
            queue,
            QStringLiteral("CUPS did not take the job within %1 s").arg(SubmitMilliseconds / 1000));
    return *job;
}

namespace {

// Whether the queue is stopped (cupsdisable, or the printer stopped it after an error): its
// pending jobs then wait for a person.
bool queueStopped(http_t* http, const QString& queue) {
    ipp_t* request = ippNewRequest(IPP_OP_GET_PRINTER_ATTRIBUTES);
    char uri[HTTP_MAX_URI];
    httpAssembleURIf(HTTP_URI_CODING_ALL, uri, sizeof uri, "ipp", nullptr, "localhost", ippPort(),
                     "/printers/%s", queue.toUtf8().constData());
    ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_URI, "printer-uri", nullptr, uri);
    ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_KEYWORD, "requested-attributes", nullptr,
                 "printer-state");
    ipp_t* response = cupsDoRequest(http, request, "/");
    const bool stopped =
        response && ippGetInteger(ippFindAttribute(response, "printer-state", IPP_TAG_ENUM), 0) ==
                        IPP_PSTATE_STOPPED;
    ippDelete(response);
    return stopped;
}

}  // namespace

JobStatus jobStatus(const QString& queue, int job) {
    static const char* const states[] = {"pending",  "held",    "processing", "stopped",
                                         "canceled", "aborted", "completed"};
    JobStatus status;
    const Connection connection(LookupMilliseconds / 1000 - 1);
    if (!connection.get()) return status;
    ipp_t* request = ippNewRequest(IPP_OP_GET_JOB_ATTRIBUTES);
    char uri[HTTP_MAX_URI];
    httpAssembleURIf(HTTP_URI_CODING_ALL, uri, sizeof uri, "ipp", nullptr, "localhost", ippPort(),
                     "/jobs/%d", job);
    ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_URI, "job-uri", nullptr, uri);
    ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_NAME, "requesting-user-name", nullptr,
                 cupsUser());
    ipp_t* response = cupsDoRequest(connection.get(), request, "/");
    if (!response) return status;
    const int state = ippGetInteger(ippFindAttribute(response, "job-state", IPP_TAG_ENUM), 0);
    if (state >= IPP_JSTATE_PENDING && state <= IPP_JSTATE_COMPLETED)
        status.state = QString::fromLatin1(states[state - IPP_JSTATE_PENDING]);
    QStringList reasons;
    if (ipp_attribute_t* message =
            ippFindAttribute(response, "job-printer-state-message", IPP_TAG_TEXT))
        reasons << QString::fromUtf8(ippGetString(message, 0, nullptr));
    if (ipp_attribute_t* keywords =
            ippFindAttribute(response, "job-state-reasons", IPP_TAG_KEYWORD))
        for (int i = 0; i < ippGetCount(keywords); ++i) {
            const QString reason = QString::fromUtf8(ippGetString(keywords, i, nullptr));
            status.queueStopped = status.queueStopped || reason == QLatin1String("printer-stopped");
            // "processing-to-stop-point" only says that CUPS is winding the job down.
            if (reason != QLatin1String("none") &&
                reason != QLatin1String("processing-to-stop-point"))
                reasons << reason;
        }
    ippDelete(response);
    if (status.state == QLatin1String("pending") || status.state == QLatin1String("held"))
        status.queueStopped = status.queueStopped || queueStopped(connection.get(), queue);
    reasons.removeAll(QString());
    // A completed job needs no why.
    if (status.state != QLatin1String("completed"))
        status.reason = reasons.join(QStringLiteral(", "));
    return status;
}

}  // namespace zel::cups
