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

unsigned vcgen_stroke::vertex(double* x, double* y) {
  const vertex_storage& v = m_src_vertices;
  // The vertices math_stroke has just made go out one by one; then the walk goes on at `Luego`.
  const auto Sale = [this](status_e Luego) {
    m_prev_status = Luego;
    m_status = out_vertices;
    m_out_vertex = 0;
  };
  unsigned cmd = path_cmd_line_to;
  while (!is_stop(cmd)) {
    switch (m_status) {
      case initial:
        rewind(0);
        [[fallthrough]];
      case ready:
        if (v.size() < 2 + unsigned(m_closed != 0)) {
          cmd = path_cmd_stop;
          break;
        }
        m_status = m_closed ? outline1 : cap1;
        cmd = path_cmd_move_to;
        m_src_vertex = m_out_vertex = 0;
        break;
      case cap1:
      case cap2: {  // the start's cap, or the end's
        const bool Inicio = m_status == cap1;
        const std::size_t i = Inicio ? 0 : v.size() - 1, j = Inicio ? 1 : v.size() - 2;
        m_stroker.calc_cap(m_out_vertices, v[i], v[j], v[std::min(i, j)].dist);
        if (Inicio) m_src_vertex = 1;
        Sale(Inicio ? outline1 : outline2);
        break;
      }
      case outline1:  // forwards, along one side
        if (m_src_vertex >= v.size() - (m_closed ? 0 : 1)) {
          m_prev_status = close_first;
          m_status = m_closed ? end_poly1 : cap2;
          break;
        }
        m_stroker.calc_join(m_out_vertices, v.prev(m_src_vertex), v.curr(m_src_vertex),
                            v.next(m_src_vertex), v.prev(m_src_vertex).dist,
                            v.curr(m_src_vertex).dist);
        ++m_src_vertex;
        Sale(outline1);
        break;
      case close_first:
        m_status = outline2;
        cmd = path_cmd_move_to;
        [[fallthrough]];
      case outline2:  // backwards, along the other
        if (m_src_vertex <= unsigned(m_closed == 0)) {
          m_status = end_poly2;
          m_prev_status = stop;
          break;
        }
        --m_src_vertex;
        m_stroker.calc_join(m_out_vertices, v.next(m_src_vertex), v.curr(m_src_vertex),
                            v.prev(m_src_vertex), v.curr(m_src_vertex).dist,
                            v.prev(m_src_vertex).dist);
        Sale(outline2);
        break;
      case out_vertices:
        if (m_out_vertex >= m_out_vertices.size()) {
          m_status = m_prev_status;
          break;
        }
        *x = m_out_vertices[m_out_vertex].x;
        *y = m_out_vertices[m_out_vertex++].y;
        return cmd;
      case end_poly1:
      case end_poly2: {
        const unsigned Sentido = m_status == end_poly1 ? path_flags_ccw : path_flags_cw;
        m_status = m_prev_status;
        return unsigned(path_cmd_end_poly) | unsigned(path_flags_close) | Sentido;
      }
      case stop:
        cmd = path_cmd_stop;
        break;
    }
  }
  return cmd;
}

}  // namespace agg
