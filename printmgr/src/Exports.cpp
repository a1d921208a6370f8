// The print-manager library's one export.
#include "PrintSession.h"

namespace {

// The library is loaded for one print and unloaded after it; the session lives
// as long as the library and holds no Qt object between requests.
printmgr::PrintSession session;

} // namespace

extern "C" __attribute__((visibility("default"))) intptr_t ApplicationRequest(int32_t request,
                                                                              int32_t objectId,
                                                                              intptr_t value, void* data)
{
    return session.request(request, objectId, value, data);
}
