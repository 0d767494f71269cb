#pragma once
// The one way the dialogs get a formatter: the guard first, then udisks2 on
// the system bus, or dosfstools where the udisks2 service is missing.

#include "platform/CardFormatter.h"

#include <memory>

// Aborts the process when KESTROV_NO_DEVICES is set (as in every test run).
std::unique_ptr<CardFormatter> MakeCardFormatter(std::shared_ptr<const Drives> drives);
