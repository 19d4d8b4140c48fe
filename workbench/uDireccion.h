// SPDX-License-Identifier: GPL-3.0-or-later
// The direction that the spinner reports for a press of one of its arrows; a header of its own,
// so that the spinner's widget needs nothing else of the workbench.
#pragma once

enum TUpDownDirection { updNone, updUp, updDown };
