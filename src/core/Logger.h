#pragma once
// The process-wide diagnostic log: one line per call, appended to the daily
// file LOG/<program> YYYYMMDD.log under the working folder, when the call
// passes the three switches set from the options.

#include <QDateTime>
#include <QString>
#include <atomic>
#include <functional>
#include <mutex>

class UserNotifier;

class Logger {
public:
    using Clock = std::function<QDateTime()>;

    static Logger& GetInstance();

    // Writes one line when enabled, level <= the configured level and type ==
    // the configured type. The message is data, never a format.
    void Log(QString message, QString className, QString functionName, int type, int level);
    bool WouldWrite(int type, int level) const;

    void SetEnabled(bool enabled);
    void SetType(int type);
    void SetLevel(int level);

    // The local time "%Y-%m-%d %H:%M:%S" of the logger's clock.
    QString GetTimeText() const;
    // Today's file path; creates the LOG folder (failures ignored).
    QString GetLogFilePath() const;
    // One line: the head chosen by which names are given, the message, LF.
    QString MakeLine(const QString& message, const QString& className, const QString& functionName) const;
    // Appends one line (8-bit, LF as CR LF) in a single write. False when the
    // file could not be opened or written; the failure is shown to the user.
    bool WriteLine(const QString& line);

    // For tests: a fixed clock, and the notifier that shows "Cannot Open Log!!"
    // (nullptr = UserNotifier::Current()).
    void SetClock(Clock clock);
    void SetNotifier(UserNotifier* notifier);

private:
    Logger();
    QDateTime Now() const;
    static QString TimeText(const QDateTime& time);
    static QString LogFilePathAt(const QDateTime& time);
    static QString LineAt(const QDateTime& time, const QString& message, const QString& className,
                          const QString& functionName);
    // Appends under the process-wide lock; true when the whole line was written.
    bool AppendLine(const QString& path, const QString& line);
    // Posts "Cannot Open Log!!" unless such a box is still pending or shown.
    void ReportFailure();

    std::atomic<bool> enabled{false};
    std::atomic<int> type{3};
    std::atomic<int> level{3};

    mutable std::mutex mutex;  // serialises the clock, the notifier and every append
    Clock clock;
    UserNotifier* notifier = nullptr;
    std::atomic<bool> failureBoxOpen{false};
};
