// The tree canvas: laying out as it scrolls, rows that never overlap, zoom,
// the palette's colours; images too large to make.
#include "shell/tree_canvas.h"

#include <QScrollBar>
#include <QtTest>

#include "analysis/sequence_analysis.h"
#include "datafiles/rule_set_reader.h"
#include "platform/text_stream.h"
#include "shell/tree_painter.h"

namespace marvolen {

namespace {

// The parses of S S S S S under three titles of S -> S S: 14 shapes x 3^4
// titles = 1,134 trees, the covert differences marked.
void DenseParses(ParseList& parses, ParseMarks& marks) {
  RuleSet rules;
  RecordingUserInterface ui;
  ReadRuleSet(rules,
              *InputStream::FromBytes("CFGRuleSetBegin\n&& [ A ] S -> S S :: <TREE> = a\n"
                                      "&& [ B ] S -> S S :: <TREE> = bb\n"
                                      "&& [ C ] S -> S S :: <TREE> = ccc\nCFGRuleSetEnd\n"),
              ui);
  SequenceAnalyser analyser(std::move(rules));
  SequenceAnalysis analysis = analyser.Analyse("S S S S S");
  marks = MarkDifferences(analysis.parses, analysis.judgement);
  parses = std::move(analysis.parses);
}

// No two laid-out trees overlap, and they follow each other in rows: the
// next one to the right in the same row, or below the row.
void CheckRows(const TreeCanvas& canvas) {
  for (int k = 1; k < canvas.laidOutCount(); ++k) {
    const QRectF before = canvas.TreeRect(k - 1), rect = canvas.TreeRect(k);
    const bool sameRow = rect.top() == before.top() && rect.left() > before.right();
    const bool nextRow = rect.top() > before.bottom() && rect.left() <= before.left();
    QVERIFY2(sameRow || nextRow, qPrintable(QString::number(k)));
    for (int other = 0; other < k; ++other)
      QVERIFY2(!rect.intersects(canvas.TreeRect(other)), qPrintable(QString::number(k)));
  }
}

}  // namespace

class TreeCanvasTest : public QObject {
  Q_OBJECT

 private slots:
  void init() {
    canvas_ = std::make_unique<TreeCanvas>();
    canvas_->resize(600, 400);
    canvas_->show();
    QVERIFY(QTest::qWaitForWindowExposed(canvas_.get()));
    ParseList parses;
    ParseMarks marks;
    DenseParses(parses, marks);
    QCOMPARE(parses.size(), size_t(1134));
    canvas_->SetTrees(std::move(parses), std::move(marks), true);
  }
  void cleanup() { canvas_.reset(); }

  void laysOutAScreenfulThenTheRestAsItScrolls() {
    const int first = canvas_->laidOutCount();
    QVERIFY(first > 0 && first < 100);
    // Enough for the view and a view's height below it.
    QVERIFY(canvas_->TreeRect(first - 1).top() >= canvas_->viewport()->height());
    CheckRows(*canvas_);
    QScrollBar* bar = canvas_->verticalScrollBar();
    for (int step = 0; step < 2000 && canvas_->laidOutCount() < canvas_->treeCount(); ++step)
      bar->setValue(bar->value() + canvas_->viewport()->height());
    QCOMPARE(canvas_->laidOutCount(), 1134);
    CheckRows(*canvas_);
    // Once all are there, the scroll bar ends at the last row.
    bar->setValue(bar->maximum());
    const QRectF last = canvas_->TreeRect(1133);
    QVERIFY(last.bottom() <= bar->maximum() + canvas_->viewport()->height());
    QVERIFY(last.bottom() > bar->maximum());
    QCOMPARE(canvas_->TreeAt(last.center().toPoint() - QPoint(0, bar->value())), 1133);
    QCOMPARE(canvas_->TreeAt(QPoint(-5, -5)), -1);
  }

  void rowsFlowAgainWhenTheWidthChanges() {
    auto firstRow = [this] {
      int n = 1;
      while (n < canvas_->laidOutCount() &&
             canvas_->TreeRect(n).top() == canvas_->TreeRect(0).top())
        ++n;
      return n;
    };
    const int wide = firstRow();
    canvas_->resize(250, 400);
    QVERIFY(firstRow() < wide);
    CheckRows(*canvas_);
    // A tree wider than the view stands alone and can be scrolled to.
    QVERIFY(canvas_->horizontalScrollBar()->maximum() > 0 || firstRow() == 1);
  }

  void ctrlWheelZooms() {
    const double width = canvas_->TreeRect(0).width();
    auto wheel = [this](Qt::KeyboardModifiers modifiers, int notches) {
      QWheelEvent event(QPointF(10, 10), canvas_->viewport()->mapToGlobal(QPointF(10, 10)),
                        QPoint(), QPoint(0, 120 * notches), Qt::NoButton, modifiers,
                        Qt::NoScrollPhase, false);
      QCoreApplication::sendEvent(canvas_->viewport(), &event);
    };
    wheel(Qt::ControlModifier, 1);
    QCOMPARE(canvas_->zoom(), 1.15);
    QVERIFY(canvas_->TreeRect(0).width() > width * 1.1);
    wheel(Qt::NoModifier, -1);  // scrolls
    QCOMPARE(canvas_->zoom(), 1.15);
    QVERIFY(canvas_->verticalScrollBar()->value() > 0);
    wheel(Qt::ControlModifier, 40);
    QCOMPARE(canvas_->zoom(), TreeCanvas::kMaxZoom);
    wheel(Qt::ControlModifier, -80);
    QCOMPARE(canvas_->zoom(), TreeCanvas::kMinZoom);
    CheckRows(*canvas_);
  }

  void followsTheLightOrDarkPalette() {
    for (const bool dark : {false, true}) {
      QPalette palette = canvas_->palette();
      palette.setColor(QPalette::Base, dark ? QColor(0x20, 0x20, 0x20) : QColor(Qt::white));
      palette.setColor(QPalette::Text, dark ? QColor(0xe0, 0xe0, 0xe0) : QColor(Qt::black));
      canvas_->setPalette(palette);
      const QImage shot = canvas_->viewport()->grab().toImage();
      const TreeColours colours = ColoursFor(palette);
      QCOMPARE(shot.pixelColor(1, 1), palette.color(QPalette::Base));
      QCOMPARE(colours.markGround.lightnessF() < 0.5, dark);
      // A marked node stands on the mark's ground.
      const QPointF at = canvas_->TreeRect(0).topLeft();
      int checked = 0;
      for (const DrawnNode& node : canvas_->LaidOutTree(0).nodes) {
        if (!node.marked) continue;
        // Left of the text, halfway down.
        const QPoint inside(static_cast<int>(at.x() + node.box.left) + 2,
                            static_cast<int>(at.y() + node.box.top + node.box.height / 2));
        QCOMPARE(shot.pixelColor(inside), colours.markGround);
        ++checked;
      }
      QVERIFY(checked > 0);
    }
  }

  void imagesTooLargeAreNotMade() {
    DrawnTree drawing;
    drawing.width = 300;
    drawing.height = 200;
    QVERIFY(!RenderImage(drawing, TreeFont(14), 96).isNull());
    drawing.width = kMaxImageSide + 1.0;
    QVERIFY(RenderImage(drawing, TreeFont(14), 96).isNull());
    drawing.width = 20000;
    drawing.height = 20000;  // 400 million pixels
    QVERIFY(RenderImage(drawing, TreeFont(14), 96).isNull());
  }

 private:
  std::unique_ptr<TreeCanvas> canvas_;
};

}  // namespace marvolen

QTEST_MAIN(marvolen::TreeCanvasTest)
#include "tree_canvas_test.moc"
