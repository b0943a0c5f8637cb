#include "model/DeletionReport.h"

#include "support/Hashing.h"

using quillo::support::hashAll;
using quillo::support::hashSequence;

std::size_t std::hash<quillo::DeletedFileRecord>::operator()(
    const quillo::DeletedFileRecord& record) const noexcept {
    return hashAll(record.id, record.sizeInBytes, record.receiptHash);
}

std::size_t std::hash<quillo::FailedFileRecord>::operator()(
    const quillo::FailedFileRecord& record) const noexcept {
    return hashAll(record.id, record.reason);
}

std::size_t std::hash<quillo::DeletionReport>::operator()(
    const quillo::DeletionReport& report) const noexcept {
    return hashAll(report.moduleID, hashSequence(report.succeeded), hashSequence(report.failed),
                   report.startedAt.time_since_epoch().count(),
                   report.completedAt.time_since_epoch().count());
}
