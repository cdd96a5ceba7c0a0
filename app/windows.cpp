#include "app/windows.h"

Windows &windows()
{
    static Windows registry;
    return registry;
}
