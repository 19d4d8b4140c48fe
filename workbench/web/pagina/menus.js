// SPDX-License-Identifier: GPL-3.0-or-later
// The menu bar, by pointer and by keyboard as in the window: Alt and a menu's first letter opens
// it, the arrow keys move in it and to the menus beside it, Enter chooses, Escape closes; each
// list and entry says its role to screen readers.

const menus = [...document.querySelectorAll(".menu")];

function entradas(m) {
  return [...m.querySelectorAll(".lista button")].filter((b) => !b.disabled && b.offsetParent);
}

function roles(m) {
  m.querySelector(".lista").setAttribute("role", "menu");
  for (const b of m.querySelectorAll(".lista button"))
    b.setAttribute("role", b.classList.contains("marca") ? "menuitemcheckbox" : "menuitem");
}

export function cierraMenus() {
  for (const m of menus) {
    m.classList.remove("abierto");
    m.firstElementChild.setAttribute("aria-expanded", "false");
  }
}

function abre(m, foco) {
  cierraMenus();
  roles(m);
  m.classList.add("abierto");
  m.firstElementChild.setAttribute("aria-expanded", "true");
  if (foco) (entradas(m)[0] || m.firstElementChild).focus();
}

for (const m of menus) {
  const boton = m.firstElementChild;
  boton.setAttribute("aria-haspopup", "menu");
  boton.setAttribute("aria-expanded", "false");
  boton.onclick = (e) => {
    e.stopPropagation();
    if (m.classList.contains("abierto")) cierraMenus();
    else abre(m, e.detail === 0);  // from the keyboard, the first entry takes the focus
  };
  m.addEventListener("keydown", (e) => {
    if (!m.classList.contains("abierto")) return;
    const lista = entradas(m);
    const i = lista.indexOf(document.activeElement);
    const j = menus.indexOf(m);
    if (e.key === "Escape") {
      cierraMenus();
      boton.focus();
    } else if (e.key === "ArrowDown" || e.key === "ArrowUp") {
      const paso = e.key === "ArrowDown" ? 1 : -1;
      if (lista.length) lista[(i + paso + lista.length) % lista.length].focus();
    } else if (e.key === "ArrowLeft" || e.key === "ArrowRight") {
      abre(menus[(j + (e.key === "ArrowRight" ? 1 : menus.length - 1)) % menus.length], true);
    } else {
      return;
    }
    e.preventDefault();
    e.stopPropagation();
  });
}
document.addEventListener("click", cierraMenus);
// Alt and the first letter of a menu's caption, as the window's underlined letters.
document.addEventListener("keydown", (e) => {
  if (!e.altKey || e.ctrlKey || e.metaKey || e.key.length !== 1) return;
  const m = menus.find((o) => o.firstElementChild.textContent[0].toLowerCase() === e.key.toLowerCase());
  if (!m) return;
  e.preventDefault();
  abre(m, true);
});
