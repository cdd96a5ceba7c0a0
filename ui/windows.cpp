#include "ui/windows.h"

Windows &windows()
{
    static Windows registry;
    return registry;
}
