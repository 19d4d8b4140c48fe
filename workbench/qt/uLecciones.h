// SPDX-License-Identifier: GPL-3.0-or-later
// "Lecciones": the lessons the program carries (built in from examples/, with the index the page
// has too), an entry each, in the order and with the titles of the lessons' guide.
#pragma once

#include <functional>
#include <string>

class QMenu;

// Fills `Menu`; choosing an entry hands its file's name and bytes to `Abre`.
void LlenaLecciones(QMenu* Menu,
                    std::function<void(const std::string& Nombre, const std::string& Bytes)> Abre);
