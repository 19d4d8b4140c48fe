// SPDX-License-Identifier: GPL-3.0-or-later
#include "uAyudas.h"

#include <QDialog>
#include <QDialogButtonBox>
#include <QLabel>
#include <QPushButton>
#include <QTextBrowser>
#include <QUrl>
#include <QVBoxLayout>
#include <QtGlobal>
#include <iterator>

#include "uPrograma.h"

namespace {

// Rows of "what is written" and "what it means"; the first cell is shown as code.
struct TFila {
  const char* Escrito;
  const char* Significado;
};

constexpr TFila Sintaxis[] = {
    {"\\x.M  o  /x.M", "abstracción: su cuerpo llega tan a la derecha como puede"},
    {"\\x y z.M", "lo mismo que \\x.\\y.\\z.M"},
    {"M N P", "aplicación, asociada por la izquierda: (M N) P"},
    {"( M )", "agrupa"},
    {"x, f', ab'c", "variable: una letra minúscula seguida de minúsculas y apóstrofos"},
    {"K, Suc, 2, +",
     "símbolo: el nombre de una definición (cualquier otra secuencia de caracteres hasta un "
     "blanco, %, (, ), ., / o \\), sin distinguir mayúsculas de minúsculas"},
    {"%", "una copia del término actual"},
};

constexpr TFila Teclas[] = {
    {"Intro",
     "en la caja de la expresión: la analiza y la hace término actual; con un nombre "
     "en la caja de la izquierda, la define con ese nombre. En la caja del nombre: pasa a la de "
     "la expresión"},
    {"▲ ▼", "en «Gráficos» amplían o reducen el diagrama; en «Texto», la letra"},
    {"β  o  F5",
     "un paso de reducción (el redex más externo de la izquierda; con «Beta múltiple», "
     "todos los más externos)"},
    {"←  o  F6", "vuelve al término de antes del último paso"},
    {"∀β  o  F7", "reduce hasta la forma normal; pulsado otra vez, se detiene"},
    {"clic en un redex",
     "en «Texto», el redex bajo el puntero (se resalta al pasar por encima): lo contrae como un "
     "paso, sea cual sea la estrategia; en «Gráficos», el de la unión o el trazo rojo bajo el "
     "puntero"},
    {"F8, Mayús+F8", "selecciona el redex siguiente o el anterior, en el orden del texto"},
    {"F9", "contrae el redex seleccionado como un paso (sin ninguno, selecciona el primero)"},
    {"clic, ↑ ↓ en «Pasos»",
     "con «Opciones > Mostrar los pasos»: hace actual el término de esa línea; ← vuelve a la "
     "línea anterior, tantas veces como se quiera"},
    {"Ctrl+Tab, Ctrl+AvPág", "pasa a la pestaña siguiente"},
    {"Ctrl+Mayús+Tab, Ctrl+RePág", "pasa a la pestaña anterior"},
};

QString Tabla(const TFila* Filas, std::size_t n, bool Codigo) {
  QString s = QStringLiteral("<table cellspacing='0' cellpadding='4' border='1'>");
  for (std::size_t i = 0; i < n; ++i) {
    QString Escrito = QString::fromUtf8(Filas[i].Escrito).toHtmlEscaped();
    if (Codigo) Escrito = "<code>" + Escrito + "</code>";
    s += "<tr><td style='white-space:pre'>" + Escrito + "</td><td>" +
         QString::fromUtf8(Filas[i].Significado).toHtmlEscaped() + "</td></tr>";
  }
  return s + "</table>";
}

QDialog* Dialogo(QWidget* Padre, const QString& Titulo, const char* Nombre, QWidget* Contenido) {
  auto* d = new QDialog(Padre);
  d->setObjectName(Nombre);
  d->setWindowTitle(Titulo);
  auto* Columna = new QVBoxLayout(d);
  Columna->addWidget(Contenido);
  auto* Botones = new QDialogButtonBox(QDialogButtonBox::Close, d);
  Botones->button(QDialogButtonBox::Close)->setText(QStringLiteral("Cerrar"));
  QObject::connect(Botones, &QDialogButtonBox::rejected, d, &QDialog::hide);
  Columna->addWidget(Botones);
  return d;
}

}  // namespace

QDialog* CreaDialogoSintaxis(QWidget* Padre) {
  auto* Texto = new QTextBrowser;
  Texto->setObjectName("TextoSintaxis");
  Texto->setHtml(
      "<h3>Expresiones</h3>" + Tabla(Sintaxis, std::size(Sintaxis), true) +
      "<p>Un lambda no puede repetir el nombre de la variable de otro que lo encierre. Los "
      "términos se escriben con sus variables renombradas a, b, …, z, a', … por orden de "
      "aparición: <code>\\x y.y x</code> se escribe <code>\\ a . \\ b . b a</code>.</p>"
      "<h3>Teclas</h3>" +
      Tabla(Teclas, std::size(Teclas), false) +
      "<p>Tab pasa de la caja del nombre a la de la expresión y a los botones; Intro o la barra "
      "espaciadora pulsan el botón que tiene el foco. Alt y la letra subrayada abren los "
      "menús.</p>");
  QDialog* d = Dialogo(Padre, QStringLiteral("Sintaxis"), "DialogoSintaxis", Texto);
  d->resize(640, 560);
  return d;
}

QDialog* CreaDialogoAcercaDe(QWidget* Padre) {
  auto* Texto = new QLabel;
  Texto->setObjectName("TextoAcercaDe");
  Texto->setTextFormat(Qt::RichText);
  Texto->setText(
      "<h3>" + TituloPrograma +
      " " LAMBDA_VERSION
      "</h3>"
      "<p>Un banco de trabajo para enseñar el cálculo lambda sin tipos: reducción beta paso a "
      "paso o hasta la forma normal, en texto y en diagrama.</p>"
      "<p>Bibliotecas: Qt " +
      QString::fromLatin1(qVersion()) +
      ", AGG (Anti-Grain Geometry) " LAMBDA_AGG_VERSION
      ".</p>"
      "<p>Licencia: GPL-3.0 o posterior.</p>");
  Texto->setWordWrap(true);
  QDialog* d = Dialogo(Padre, "Acerca de " + TituloPrograma, "DialogoAcercaDe", Texto);
  d->resize(420, 220);
  return d;
}

QDialog* CreaDialogoManual(QWidget* Padre) {
  auto* Texto = new QTextBrowser;
  Texto->setObjectName("TextoManual");
  Texto->setOpenExternalLinks(true);
  // The manual and its screenshots are built into the program, so it is there wherever the
  // program is.
  Texto->setSource(QUrl(QStringLiteral("qrc:/manual/manual.md")), QTextDocument::MarkdownResource);
  QDialog* d =
      Dialogo(Padre, QStringLiteral("Manual de ") + TituloPrograma, "DialogoManual", Texto);
  d->resize(820, 640);
  return d;
}
