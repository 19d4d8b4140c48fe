// SPDX-License-Identifier: GPL-3.0-or-later
// On a scaled desktop (run with QT_SCALE_FACTOR=2) the diagram is drawn at device pixels: the
// bitmap as large as the canvas in device pixels, and the drawing twice as large in it, strokes
// included.
#include "Banco.h"
#include "uDiagrama.h"

class TPruebaEscala : public QObject {
  Q_OBJECT

  // Pixels that are not the background.
  static int Tinta(const TBitmap& Bitmap) {
    const QImage i(Bitmap.Pixeles(), Bitmap.Width(), Bitmap.Height(), Bitmap.Stride(),
                   QImage::Format_ARGB32);
    const QRgb Fondo = qRgb(ColorFondo.R, ColorFondo.G, ColorFondo.B);
    int n = 0;
    for (int y = 0; y < i.height(); ++y)
      for (int x = 0; x < i.width(); ++x) n += (i.pixel(x, y) & 0xFFFFFF) != (Fondo & 0xFFFFFF);
    return n;
  }

 private slots:
  void diagramaNitidoAlDoble() {
    TBanco b;
    QVERIFY(b.Abre());
    QCOMPARE(b.V->Lienzo->devicePixelRatioF(), 2.0);
    b.Entra("\\x.x");
    QWidget* l = b.V->Lienzo;
    l->repaint();
    TMesaTrabajo& m = b.V->Mesa();
    QCOMPARE(m.Vistas.Bitmap.Width(), 2 * l->width());
    QCOMPARE(m.Vistas.Bitmap.Height(), 2 * l->height());
    QCOMPARE(m.Vistas.Zoom, 1.0);
    // The same term drawn at zoom 2 on a bitmap of that size, pixel for pixel.
    TBitmap Doble, Simple;
    TAgg2DPlus AggDoble, AggSimple;
    AjustaBitmap(Doble, AggDoble, m.Vistas.Bitmap.Width(), m.Vistas.Bitmap.Height());
    AjustaBitmap(Simple, AggSimple, l->width(), l->height());
    int32_t n = 0;
    TExprLambda* t = m.Sesion.TerminoActual();
    Redibuja(t, Doble, AggDoble, 2.0, n);
    QCOMPARE(std::memcmp(Doble.Pixeles(), m.Vistas.Bitmap.Pixeles(),
                         std::size_t(Doble.Stride()) * Doble.Height()),
             0);
    // Strokes twice as wide and twice as long: four times the ink of the drawing at zoom 1.
    Redibuja(t, Simple, AggSimple, 1.0, n);
    const double Razon = double(Tinta(m.Vistas.Bitmap)) / Tinta(Simple);
    QVERIFY2(Razon > 3.5 && Razon < 4.5, qPrintable(QString::number(Razon)));
  }
};

QTEST_MAIN(TPruebaEscala)
#include "escala_test.moc"
