// SPDX-License-Identifier: GPL-3.0-or-later
// The one compiled part of AGG that the diagram uses, for the browser build, where AGG comes as
// headers alone: the stroke generator behind conv_stroke, over the header's own state. It walks a
// path's vertices once forward and once back, and gives at each the cap or join that math_stroke
// computes.
#include <agg_shorten_path.h>
#include <agg_vcgen_stroke.h>

#include <algorithm>

namespace agg {

vcgen_stroke::vcgen_stroke()
    : m_src_vertices(),
      m_out_vertices(),
      m_shorten(0.0),
      m_closed(0),
      m_status(initial),
      m_prev_status(initial),
      m_src_vertex(0),
      m_out_vertex(0) {}

void vcgen_stroke::remove_all() {
  m_src_vertices.remove_all();
  m_closed = 0;
  m_status = initial;
}

void vcgen_stroke::add_vertex(double x, double y, unsigned cmd) {
  m_status = initial;
  if (is_move_to(cmd)) {
    m_src_vertices.modify_last(vertex_dist(x, y));
  } else if (is_vertex(cmd)) {
    m_src_vertices.add(vertex_dist(x, y));
  } else {
    m_closed = get_close_flag(cmd);
  }
}

void vcgen_stroke::rewind(unsigned) {
  if (m_status == initial) {
    m_src_vertices.close(m_closed != 0);
    shorten_path(m_src_vertices, m_shorten, m_closed);
    if (m_src_vertices.size() < 3) m_closed = 0;
  }
  m_status = ready;
  m_src_vertex = 0;
  m_out_vertex = 0;
}

namespace {

using Contorno = math_stroke<vcgen_stroke::coord_storage>;

// The cap at the path's start (Inicio) or at its end, into Salida.
void Remate(Contorno& s, vcgen_stroke::coord_storage& Salida, const vcgen_stroke::vertex_storage& v,
            bool Inicio) {
  const std::size_t i = Inicio ? 0 : v.size() - 1, j = Inicio ? 1 : v.size() - 2;
  s.calc_cap(Salida, v[i], v[j], v[std::min(i, j)].dist);
}

// The join at vertex i, walking forwards (Adelante) or back, into Salida.
void Une(Contorno& s, vcgen_stroke::coord_storage& Salida, const vcgen_stroke::vertex_storage& v,
         unsigned i, bool Adelante) {
  if (Adelante)
    s.calc_join(Salida, v.prev(i), v.curr(i), v.next(i), v.prev(i).dist, v.curr(i).dist);
  else
    s.calc_join(Salida, v.next(i), v.curr(i), v.prev(i), v.curr(i).dist, v.prev(i).dist);
}

// The walk goes to state Emite (the vertices math_stroke has just made going out one by one, or
// a path's end), then on at Luego.
template <class Estado>
void Sale(Estado& Actual, Estado& Previo, unsigned& Salida, Estado Luego, Estado Emite) {
  Previo = Luego;
  Actual = Emite;
  Salida = 0;
}

}  // namespace

unsigned vcgen_stroke::vertex(double* x, double* y) {
  const vertex_storage& v = m_src_vertices;
  unsigned cmd = path_cmd_line_to;
  while (!is_stop(cmd)) {
    switch (m_status) {
      case initial:
        rewind(0);
        [[fallthrough]];
      case ready:
        if (v.size() < 2 + unsigned(m_closed != 0)) return path_cmd_stop;
        m_status = m_closed ? outline1 : cap1;
        cmd = path_cmd_move_to;
        m_src_vertex = m_out_vertex = 0;
        break;
      case cap1:
      case cap2:  // the start's cap, or the end's
        Remate(m_stroker, m_out_vertices, v, m_status == cap1);
        if (m_status == cap1) m_src_vertex = 1;
        Sale(m_status, m_prev_status, m_out_vertex, m_status == cap1 ? outline1 : outline2,
             out_vertices);
        break;
      case outline1:  // forwards, along one side
        if (m_src_vertex >= v.size() - (m_closed ? 0 : 1)) {
          Sale(m_status, m_prev_status, m_out_vertex, close_first, m_closed ? end_poly1 : cap2);
          break;
        }
        Une(m_stroker, m_out_vertices, v, m_src_vertex++, true);
        Sale(m_status, m_prev_status, m_out_vertex, outline1, out_vertices);
        break;
      case close_first:
        m_status = outline2;
        cmd = path_cmd_move_to;
        [[fallthrough]];
      case outline2:  // backwards, along the other
        if (m_src_vertex <= unsigned(m_closed == 0)) {
          Sale(m_status, m_prev_status, m_out_vertex, stop, end_poly2);
          break;
        }
        Une(m_stroker, m_out_vertices, v, --m_src_vertex, false);
        Sale(m_status, m_prev_status, m_out_vertex, outline2, out_vertices);
        break;
      case out_vertices:
        if (m_out_vertex < m_out_vertices.size()) {
          *x = m_out_vertices[m_out_vertex].x;
          *y = m_out_vertices[m_out_vertex++].y;
          return cmd;
        }
        m_status = m_prev_status;
        break;
      case end_poly1:
      case end_poly2:
        cmd = unsigned(path_cmd_end_poly) | unsigned(path_flags_close) |
              unsigned(m_status == end_poly1 ? path_flags_ccw : path_flags_cw);
        m_status = m_prev_status;
        return cmd;
      case stop:
        return path_cmd_stop;
    }
  }
  return cmd;
}

}  // namespace agg
