// The recorder's setup.cfg: read as 8-bit text lines, applied to the model,
// written back as text.

#include "FuzzSupport.h"
#include "core/CSetupDataEx.h"
#include "settings/CVelmarkSetupData.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static fuzzsupport::ScratchFile scratch("setup.cfg");
    const QString& path = scratch.Write(data, size);
    CVelmarkSetupData model;
    model.ApplyLines(CSetupDataEx::ReadTextLines(path));
    model.MakeFileText();
    return 0;
}
