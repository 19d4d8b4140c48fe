// SPDX-License-Identifier: GPL-3.0-or-later
// The one compiled part of AGG that the diagram uses, for the browser build, where AGG comes as
// headers alone: the stroke generator behind conv_stroke, over the header's own state. It walks a
// path's vertices once forward and once back, and gives at each the cap or join that math_stroke
// computes.
#include <agg_shorten_path.h>
#include <agg_vcgen_stroke.h>

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
  unsigned cmd = path_cmd_line_to;
  const vertex_storage& v = m_src_vertices;
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
        m_src_vertex = 0;
        m_out_vertex = 0;
        break;
      case cap1:
        m_stroker.calc_cap(m_out_vertices, v[0], v[1], v[0].dist);
        m_src_vertex = 1;
        m_prev_status = outline1;
        m_status = out_vertices;
        m_out_vertex = 0;
        break;
      case cap2:
        m_stroker.calc_cap(m_out_vertices, v[v.size() - 1], v[v.size() - 2], v[v.size() - 2].dist);
        m_prev_status = outline2;
        m_status = out_vertices;
        m_out_vertex = 0;
        break;
      case outline1:
        if (m_src_vertex >= v.size() - (m_closed ? 0 : 1)) {
          if (m_closed) m_prev_status = close_first;
          m_status = m_closed ? end_poly1 : cap2;
          break;
        }
        m_stroker.calc_join(m_out_vertices, v.prev(m_src_vertex), v.curr(m_src_vertex),
                            v.next(m_src_vertex), v.prev(m_src_vertex).dist,
                            v.curr(m_src_vertex).dist);
        ++m_src_vertex;
        m_prev_status = m_status;
        m_status = out_vertices;
        m_out_vertex = 0;
        break;
      case close_first:
        m_status = outline2;
        cmd = path_cmd_move_to;
        [[fallthrough]];
      case outline2:
        if (m_src_vertex <= unsigned(m_closed == 0)) {
          m_status = end_poly2;
          m_prev_status = stop;
          break;
        }
        --m_src_vertex;
        m_stroker.calc_join(m_out_vertices, v.next(m_src_vertex), v.curr(m_src_vertex),
                            v.prev(m_src_vertex), v.curr(m_src_vertex).dist,
                            v.prev(m_src_vertex).dist);
        m_prev_status = m_status;
        m_status = out_vertices;
        m_out_vertex = 0;
        break;
      case out_vertices:
        if (m_out_vertex >= m_out_vertices.size()) {
          m_status = m_prev_status;
          break;
        }
        *x = m_out_vertices[m_out_vertex].x;
        *y = m_out_vertices[m_out_vertex].y;
        ++m_out_vertex;
        return cmd;
      case end_poly1:
        m_status = m_prev_status;
        return path_cmd_end_poly | path_flags_close | path_flags_ccw;
      case end_poly2:
        m_status = m_prev_status;
        return path_cmd_end_poly | path_flags_close | path_flags_cw;
      case stop:
        cmd = path_cmd_stop;
        break;
    }
  }
  return cmd;
}

}  // namespace agg
