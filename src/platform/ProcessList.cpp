#include "platform/ProcessList.h"

#include "platform/InstalledImplementation.h"
#include "platform/ProcProcessList.h"

namespace qm {

std::shared_ptr<ProcessList> ProcessList::current()
{
    return installedImplementation<ProcessList, ProcProcessList>().current();
}

void ProcessList::install(std::shared_ptr<ProcessList> implementation)
{
    installedImplementation<ProcessList, ProcProcessList>().install(std::move(implementation));
}

} // namespace qm
