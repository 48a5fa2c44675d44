// The FCS of a block, as the piece format defines it.
#include "qoc.h"

#include "fcs.h"

uint16_t QocBlkFCS(const void* data, size_t len)
{
    return sundrel::Fcs16(data, len);
}

int QocChkFCS(const void* data, size_t len)
{
    return sundrel::FcsMatches(data, len) ? 1 : 0;
}
