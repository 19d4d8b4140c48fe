// SPDX-License-Identifier: GPL-3.0-or-later
#include "uAyuda.h"

#include <stdexcept>

namespace {

// Rows of "what is written" and "what it means"; the first cell is shown as code.
struct TFila {
  const char* Escrito;
  const char* Significado;
};

constexpr TFila Sintaxis[] = {
    {"\\x.M  o  /x.M  o  λx.M", "abstracción: su cuerpo llega tan a la derecha como puede"},
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
     "en la caja de la expresión: la analiza y la hace término actual; con un nombre en la caja "
     "de la izquierda, la define con ese nombre. En la caja del nombre: pasa a la de la "
     "expresión (y una expresión escrita allí, con la otra vacía, se introduce)"},
    {"▲ ▼", "en «Gráficos» amplían o reducen el diagrama; en «Texto», la letra"},
    {"β  o  F5",
     "un paso de reducción (el redex más externo de la izquierda; con «Beta múltiple», todos los "
     "más externos)"},
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
    {"arrastrar, Ctrl+rueda, doble clic",
     "en «Gráficos»: mueven el diagrama, lo amplían o reducen en torno al puntero, y lo devuelven "
     "a su sitio"},
};

constexpr TConsejo Consejos[] = {
    {"edtEnt", "Expresión: escriba un término y pulse Intro (% es el término actual)", "Expresión",
     "expresión, como \\x.x, e Intro"},
    {"edtDef", "Nombre: si no está vacío, Intro guarda la expresión con este nombre", "Nombre",
     "nombre"},
    {"btnBeta", "Reducir un paso", "Reducir un paso", ""},
    {"btnBetaAll", "Reducir hasta la forma normal (pulsar otra vez para parar)",
     "Reducir hasta la forma normal", ""},
    {"btnBack", "Volver al término anterior", "Volver al término anterior", ""},
    {"UpDown1", "Agrandar o achicar: la letra en Texto, el diagrama en Gráficos", "Tamaño", ""},
    {"Memo1", "El término actual, escrito", "Término como texto", ""},
    {"Lienzo", "El término actual, dibujado", "Término como diagrama", ""},
    {"ListaPasos1", "", "Los pasos desde la última expresión", ""},
    {"ListaEjercicios1", "Elija un ejercicio", "Los ejercicios de la lección", ""},
    {"Respuesta1", "La forma normal del término, o «no tiene» si no la tiene", "Respuesta",
     "forma normal, o «no tiene»"},
    {"Comprobar1", "Comprobar la definición o la respuesta", "Comprobar", ""},
    {"Empezar1", "Poner el término del ejercicio y reducirlo eligiendo cada redex", "Empezar", ""},
    {"Pista1", "Mostrar la siguiente pista", "Pista", ""},
    {"Reiniciar1", "Olvidar lo hecho en los ejercicios de esta lección", "Reiniciar", ""},
};

std::string Escapa(const char* s) {
  std::string r;
  for (; *s; ++s) {
    switch (*s) {
      case '&':
        r += "&amp;";
        break;
      case '<':
        r += "&lt;";
        break;
      case '>':
        r += "&gt;";
        break;
      default:
        r += *s;
    }
  }
  return r;
}

template <std::size_t N>
std::string Tabla(const TFila (&Filas)[N], bool Codigo) {
  std::string s = "<table cellspacing='0' cellpadding='4' border='1'>";
  for (const TFila& f : Filas) {
    const std::string Escrito = Escapa(f.Escrito);
    s += "<tr><td style='white-space:pre'>" + (Codigo ? "<code>" + Escrito + "</code>" : Escrito) +
         "</td><td>" + Escapa(f.Significado) + "</td></tr>";
  }
  return s + "</table>";
}

}  // namespace

std::string HtmlSintaxis(bool Navegador) {
  return "<h3>Expresiones</h3>" + Tabla(Sintaxis, true) +
         "<p>Un lambda no puede repetir el nombre de la variable de otro que lo encierre. Los "
         "términos se escriben con sus variables renombradas a, b, …, z, a', … por orden de "
         "aparición: <code>\\x y.y x</code> se escribe <code>\\ a . \\ b . b a</code>.</p>"
         "<h3>Teclas</h3>" +
         Tabla(Teclas, false) +
         "<p>Tab pasa de la caja del nombre a la de la expresión y a los botones; Intro o la "
         "barra espaciadora pulsan el botón que tiene el foco." +
         (Navegador ? "" : " Alt y la letra subrayada abren los menús.") + "</p>";
}

const char* const NombrePrograma = "Cálculo Lambda";

std::string TituloVentana(std::string_view Fichero) {
  return std::string(NombrePrograma) + " - " +
         std::string(Fichero.empty() ? "Lógica y computabilidad" : Fichero);
}

std::string TituloManual() {
  return "Manual de " + std::string(NombrePrograma);
}

std::string HtmlAcercaDe(std::string_view Version, std::string_view Entorno) {
  return "<h3>" + std::string(NombrePrograma) + " " + std::string(Version) +
         "</h3>"
         "<p>Un banco de trabajo para enseñar el cálculo lambda sin tipos: reducción beta paso a "
         "paso o hasta la forma normal, en texto y en diagrama.</p>"
         "<p>" +
         std::string(Entorno) + "</p><p>Licencia: GPL-3.0 o posterior.</p>";
}

std::span<const TConsejo> ConsejosControles() {
  return Consejos;
}

const TConsejo& ConsejoDe(std::string_view Control) {
  for (const TConsejo& c : Consejos)
    if (Control == c.Control) return c;
  throw std::logic_error("Control sin consejo: " + std::string(Control));
}
