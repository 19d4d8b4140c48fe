// SPDX-License-Identifier: GPL-3.0-or-later
// The help of the window: the syntax of expressions with the keys, and what the program is.
#pragma once

class QDialog;
class QWidget;

// "Sintaxis": the table of what is written and what it means, and the keys of the input row.
QDialog* CreaDialogoSintaxis(QWidget* Padre);
// "Acerca de Cálculo Lambda": version, libraries and licence.
QDialog* CreaDialogoAcercaDe(QWidget* Padre);
// "Manual": the user's manual, with its screenshots.
QDialog* CreaDialogoManual(QWidget* Padre);
