#pragma once
// Setting a card's volume label and formatting it. Every call ends in exactly
// one FormatOutcome, delivered later through the calling thread's event loop,
// never inside the call itself.

#include "platform/Drives.h"

#include <QString>
#include <functional>
#include <memory>

// Why a label or format did not happen, so the user's text can be worded;
// the English reason beside it is for the log.
enum class FormatProblem {
    None,
    NotChosen,      // no card was given
    Gone,           // nothing (or no known device) is mounted there any more
    Changed,        // another device or volume is there now
    NotRemovable,   // not a removable card
    ReadOnly,
    SystemUse,      // the disk holds a system folder or swap, or is held
    Busy,           // files on the card are still open
    NotAuthorized,  // refused or cancelled by the user's authorisation
    Unavailable,    // no formatting service on this machine
    Failed,         // anything else
};

// Something a success leaves the user to know.
enum class FormatNotice {
    None,
    Fat16,         // a small card got FAT16, not FAT32
    NotRemounted,  // formatted, but the card must be put in again
};

struct FormatOutcome {
    bool ok = false;
    FormatProblem problem = FormatProblem::None;  // set on failure
    FormatNotice notice = FormatNotice::None;     // set on success
    QString reason;   // why it failed; empty on success
    QString newRoot;  // on success: where the card is mounted now, or empty
    QString note;     // on success: what the notice means, for the log
};

using FormatDone = std::function<void(const FormatOutcome&)>;

class CardFormatter {
public:
    virtual ~CardFormatter() = default;
    virtual void SetLabel(const DriveInfo& drive, const QString& label, FormatDone done) = 0;
    // A quick FAT32 format labelled label.
    virtual void Format(const DriveInfo& drive, const QString& label, FormatDone done) = 0;

    static FormatOutcome Success(QString newRoot = QString(), FormatNotice notice = FormatNotice::None,
                                 QString note = QString());
    static FormatOutcome Failure(FormatProblem problem, QString reason);
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
