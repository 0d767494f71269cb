#pragma once
// Setting a card's volume label and formatting it. Every call ends in exactly
// one FormatOutcome, delivered later through the calling thread's event loop,
// never inside the call itself.

#include "platform/Drives.h"

#include <QString>
#include <functional>
#include <memory>

struct FormatOutcome {
    bool ok = false;
    QString reason;   // why it failed; empty on success
    QString newRoot;  // on success: where the card is mounted now, or empty
    QString note;     // on success: something the user or the log should know
};

using FormatDone = std::function<void(const FormatOutcome&)>;

class CardFormatter {
public:
    virtual ~CardFormatter() = default;
    virtual void SetLabel(const DriveInfo& drive, const QString& label, FormatDone done) = 0;
    // A quick FAT32 format labelled label.
    virtual void Format(const DriveInfo& drive, const QString& label, FormatDone done) = 0;

    static FormatOutcome Success(QString newRoot = QString(), QString note = QString());
    static FormatOutcome Failure(QString reason);
    // Runs done(outcome) from the calling thread's event loop.
    static void Deliver(FormatDone done, FormatOutcome outcome);
};

// Runs FormatGuard before every call; on a refusal the inner formatter is
// never reached and the outcome carries the reason.
class GuardedCardFormatter : public CardFormatter {
public:
    GuardedCardFormatter(std::shared_ptr<const Drives> drives, std::unique_ptr<CardFormatter> inner);

    void SetLabel(const DriveInfo& drive, const QString& label, FormatDone done) override;
    void Format(const DriveInfo& drive, const QString& label, FormatDone done) override;

private:
    bool Refused(const DriveInfo& drive, FormatDone& done) const;

    std::shared_ptr<const Drives> drives;
    std::unique_ptr<CardFormatter> inner;
};
