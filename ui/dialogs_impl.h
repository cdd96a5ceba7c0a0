#pragma once

#include "data/error.h"

#include <exception>
#include <new>

template <typename F>
bool runCommand(F &&command)
{
    try {
        command();
        return true;
    } catch (const AppError &e) {
        showError(e);
    } catch (const std::bad_alloc &) {
        showError(QStringLiteral("Mémoire insuffisante."));
    } catch (const std::exception &e) {
        showError(QString::fromLocal8Bit(e.what()));
    }
    return false;
}
