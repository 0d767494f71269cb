#include "platform/dbus/UDisksCardFormatter.h"

#include <QVariantMap>

namespace {

using namespace UDisks;

QString ErrorText(const UDisksReply& reply)
{
    return reply.errorMessage.isEmpty() ? reply.errorName : reply.errorMessage;
}

// What the user is told follows udisks2's error name; polkit's refusal and
// the user's cancel of its question both mean no permission was given.
FormatProblem ProblemOf(const UDisksReply& reply)
{
    static const QString udisks = QStringLiteral("org.freedesktop.UDisks2.Error.");
    const QString& name = reply.errorName;
    if (name == udisks + QStringLiteral("DeviceBusy"))
        return FormatProblem::Busy;
    if (name.startsWith(udisks + QStringLiteral("NotAuthorized")) || name == udisks + QStringLiteral("Cancelled"))
        return FormatProblem::NotAuthorized;
    if (name == QStringLiteral("org.freedesktop.DBus.Error.ServiceUnknown"))
        return FormatProblem::Unavailable;
    return FormatProblem::Failed;
}

FormatOutcome FailureOf(const UDisksReply& reply)
{
    return CardFormatter::Failure(ProblemOf(reply), ErrorText(reply));
}

// udisks2 took mkfs-args in 2.10; before that its mkfs picks the FAT size.
bool TakesMkfsArgs(const QString& version)
{
    const QStringList parts = version.split(u'.');
    const int major = parts.value(0).toInt();
    const int minor = parts.value(1).toInt();
    return major > 2 || (major == 2 && minor >= 10);
}

// One label or format run. Its callbacks share it, so it outlives both the
// formatter's call and the formatter.
struct Job {
    std::shared_ptr<UDisksBus> bus;
    DriveInfo drive;
    QString label;
    FormatDone done;
    QString blockPath;
    bool mkfsArgs = false;

    void Call(const QString& path, const QString& interface, const QString& method, QVariantList arguments,
              int timeoutMs, UDisksBus::Done next)
    {
        UDisksCall call;
        call.objectPath = path;
        call.interface = interface;
        call.method = method;
        call.arguments = std::move(arguments);
        call.timeoutMs = timeoutMs;
        call.interactive = true;
        bus->Call(call, std::move(next));
    }

    void Finish(FormatOutcome outcome) { CardFormatter::Deliver(std::move(done), std::move(outcome)); }
};

using JobPtr = std::shared_ptr<Job>;
constexpr int kStateChange = UDisksCardFormatter::kStateChangeTimeoutMs;

// Finds udisks2's object for the drive's node and checks it before anything
// changes: the same device number, no system device, writable.
void Resolve(const JobPtr& job, std::function<void()> next)
{
    job->Call(ManagerPath, ManagerInterface, QStringLiteral("ResolveDevice"),
              {QVariantMap{{QStringLiteral("path"), job->drive.deviceNode}}, QVariantMap{}}, -1,
              [job, next = std::move(next)](const UDisksReply& reply) mutable {
                  const QStringList paths = reply.values.value(0).toStringList();
                  if (!reply.Ok() || paths.isEmpty()) {
                      job->Finish(CardFormatter::Failure(
                          reply.Ok() ? FormatProblem::Gone : ProblemOf(reply),
                          QStringLiteral("udisks2 does not know %1: %2").arg(job->drive.deviceNode, ErrorText(reply))));
                      return;
                  }
                  job->blockPath = paths.first();
                  job->Call(job->blockPath, PropertiesInterface, QStringLiteral("GetAll"), {BlockInterface}, -1,
                            [job, next = std::move(next)](const UDisksReply& reply) {
                                const QVariantMap block = reply.values.value(0).toMap();
                                if (!reply.Ok()) {
                                    job->Finish(FailureOf(reply));
                                } else if (block.value(QStringLiteral("DeviceNumber")).toULongLong()
                                           != job->drive.deviceNumber) {
                                    job->Finish(CardFormatter::Failure(
                                        FormatProblem::Changed,
                                        QStringLiteral("udisks2 finds another device at %1").arg(job->drive.deviceNode)));
                                } else if (block.value(QStringLiteral("HintSystem")).toBool()) {
                                    job->Finish(CardFormatter::Failure(
                                        FormatProblem::SystemUse,
                                        QStringLiteral("udisks2 counts %1 as a system device").arg(job->drive.deviceNode)));
                                } else if (block.value(QStringLiteral("ReadOnly")).toBool()) {
                                    job->Finish(CardFormatter::Failure(
                                        FormatProblem::ReadOnly, QStringLiteral("%1 is read-only").arg(job->drive.deviceNode)));
                                } else {
                                    next();
                                }
                            });
              });
}

// Without mkfs-args mkfs.vfat picks FAT32 only from 512 MiB up.
QString FatSizeNote(const Job& job)
{
    constexpr quint64 kFat32From = 512ull * 1024 * 1024;
    if (job.mkfsArgs || job.drive.sizeBytes == 0 || job.drive.sizeBytes >= kFat32From)
        return QString();
    return QStringLiteral("this udisks2 chooses the FAT size itself: the card of %1 MiB is formatted as FAT16")
        .arg(job.drive.sizeBytes / (1024 * 1024));
}

void Mount(const JobPtr& job, std::optional<FormatOutcome> formatFailure)
{
    job->Call(job->blockPath, FilesystemInterface, QStringLiteral("Mount"), {QVariantMap{}}, kStateChange,
              [job, formatFailure](const UDisksReply& reply) {
                  if (formatFailure) {
                      job->Finish(*formatFailure);
                  } else if (reply.Ok()) {
                      const QString note = FatSizeNote(*job);
                      job->Finish(CardFormatter::Success(NormalizeRoot(reply.values.value(0).toString()),
                                                         note.isEmpty() ? FormatNotice::None : FormatNotice::Fat16, note));
                  } else {
                      job->Finish(CardFormatter::Success(
                          QString(), FormatNotice::NotRemounted,
                          QStringLiteral("the card is formatted but was not mounted again: ") + ErrorText(reply)));
                  }
              });
}

void MakeFilesystem(const JobPtr& job)
{
    QVariantMap options{{QStringLiteral("label"), job->label},
                        {QStringLiteral("update-partition-type"), true}};
    if (job->mkfsArgs)
        options.insert(QStringLiteral("mkfs-args"), QStringList{QStringLiteral("-F"), QStringLiteral("32")});
    job->Call(job->blockPath, BlockInterface, QStringLiteral("Format"), {QStringLiteral("vfat"), options}, kStateChange,
              [job](const UDisksReply& reply) {
                  // Mounted again even after a failure, so the card comes back where it can.
                  Mount(job, reply.Ok() ? std::nullopt : std::optional<FormatOutcome>(FailureOf(reply)));
              });
}

void UnmountThenFormat(const JobPtr& job)
{
    if (job->drive.root.isEmpty()) {
        MakeFilesystem(job);
        return;
    }
    // No "force": a card still in use is a failure, never pulled from under its users.
    job->Call(job->blockPath, FilesystemInterface, QStringLiteral("Unmount"), {QVariantMap{}}, kStateChange,
              [job](const UDisksReply& reply) {
                  if (!reply.Ok()) {
                      job->Finish(FailureOf(reply));
                      return;
                  }
                  MakeFilesystem(job);
              });
}

}  // namespace

UDisksCardFormatter::UDisksCardFormatter(std::shared_ptr<UDisksBus> bus) : bus(std::move(bus)) {}

void UDisksCardFormatter::SetLabel(const DriveInfo& drive, const QString& label, FormatDone done)
{
    auto job = std::make_shared<Job>(Job{bus, drive, label, std::move(done), QString(), false});
    Resolve(job, [job] {
        job->Call(job->blockPath, FilesystemInterface, QStringLiteral("SetLabel"), {job->label, QVariantMap{}},
                  kStateChange, [job](const UDisksReply& reply) {
                      job->Finish(reply.Ok() ? CardFormatter::Success() : FailureOf(reply));
                  });
    });
}

void UDisksCardFormatter::Format(const DriveInfo& drive, const QString& label, FormatDone done)
{
    auto job = std::make_shared<Job>(Job{bus, drive, label, std::move(done), QString(), false});
    Resolve(job, [job] {
        job->Call(ManagerPath, PropertiesInterface, QStringLiteral("Get"), {ManagerInterface, QStringLiteral("Version")},
                  -1, [job](const UDisksReply& reply) {
                      job->mkfsArgs = TakesMkfsArgs(reply.values.value(0).toString());
                      UnmountThenFormat(job);
                  });
    });
}
