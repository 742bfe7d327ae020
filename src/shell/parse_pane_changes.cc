// The parse pane's view of a changed pattern: the new trees, and the old
// ones beside them in a column of their own, made when first needed and
// hidden again as soon as the pane analyses an input of its own.
#include <QtWidgets>
#include <set>

#include "compare/change_list.h"
#include "encoding/gbk.h"
#include "grammar/tree_text.h"
#include "shell/changes_view.h"
#include "shell/parse_pane.h"
#include "shell/tree_canvas.h"

namespace marvolen {

namespace {

std::size_t NodeCount(const ParseTreeNode& node) {
  std::size_t count = 1;
  for (const ParseTreeNode* child = node.firstChild.get(); child != nullptr;
       child = child->nextSibling.get())
    count += NodeCount(*child);
  return count;
}

// The trees of `parses` (bracketed, GBK); those in `marked` marked whole.
// Texts that are no trees are left out and counted in `unread`.
void ReadTrees(const std::vector<std::string>& parses, const std::vector<std::string>& marked,
               ParseList& trees, ParseMarks& marks, int& unread) {
  const std::set<std::string> mark(marked.begin(), marked.end());
  for (const std::string& parse : parses) {
    std::unique_ptr<ParseTreeNode> tree = ReadBracketedTree(parse);
    if (tree == nullptr) {
      ++unread;
      continue;
    }
    marks.emplace_back(NodeCount(*tree), mark.count(parse) > 0);
    trees.push_back(std::move(tree));
  }
}

}  // namespace

void ParsePane::ShowChange(const ChangedPattern& change) {
  // Shown first: showing analyses the input, which must not undo this.
  if (!isVisible()) show();
  raise();
  auto* oldSide = widget()->findChild<QWidget*>(QStringLiteral("oldTreesSide"));
  if (oldSide == nullptr) {
    oldSide = new QWidget;
    oldSide->setObjectName(QStringLiteral("oldTreesSide"));
    auto* heading = new QLabel;
    heading->setObjectName(QStringLiteral("oldTreesHeading"));
    heading->setWordWrap(true);
    auto* oldCanvas = new TreeCanvas;
    oldCanvas->setObjectName(QStringLiteral("oldTrees"));
    auto* column = new QVBoxLayout(oldSide);
    column->setContentsMargins(0, 0, 0, 0);
    column->addWidget(heading);
    column->addWidget(oldCanvas, 1);
    auto* sides = new QSplitter;
    sides->setObjectName(QStringLiteral("changeSides"));
    delete canvas_->parentWidget()->layout()->replaceWidget(canvas_, sides);
    sides->addWidget(canvas_);
    sides->addWidget(oldSide);
    sides->show();  // a widget put in a shown layout would show only later
    canvas_->show();
    // The pane's own analysis shows only the new side.
    connect(input_, &QLineEdit::textChanged, oldSide, &QWidget::hide);
    connect(&grammarEdited_, &QTimer::timeout, oldSide, &QWidget::hide);
  }
  const PatternResult* now = change.now ? &*change.now : nullptr;
  const PatternResult* old = change.old ? &*change.old : nullptr;
  const QString items = QString::fromStdString(GbkToUtf8((now != nullptr ? now : old)->items));
  {
    const QSignalBlocker quiet(input_);
    input_->setText(items);
  }
  name_ = items;
  name_.remove(QRegularExpression(QStringLiteral("[<>:\"/\\\\|?*\\x00-\\x1f]")));
  int unread = 0;
  ParseList newTrees, oldTrees;
  ParseMarks newMarks, oldMarks;
  if (now != nullptr) ReadTrees(now->parses, change.gained, newTrees, newMarks, unread);
  if (old != nullptr) ReadTrees(old->parses, change.lost, oldTrees, oldMarks, unread);
  const int from = old != nullptr ? static_cast<int>(old->cls) : SourceComparison::kAbsent;
  const int to = now != nullptr ? static_cast<int>(now->cls) : SourceComparison::kAbsent;
  judgement_ = JudgementName(to);
  count_ = now != nullptr ? QString::number(now->count) : QString();
  verdict_->setText(
      QCoreApplication::translate("ParsePane", "<b>本次：%1</b>&emsp;%2 种；标出的是新得到的")
          .arg(judgement_.toHtmlEscaped(), count_.isEmpty() ? QStringLiteral("0") : count_));
  QStringList messages;
  if (unread > 0)
    messages.append(
        QCoreApplication::translate("ParsePane", "有 %1 个分析树的文本无法读成树，未画出。")
            .arg(unread));
  messages_->setText(messages.join(QLatin1Char('\n')));
  messages_->setVisible(!messages.isEmpty());
  auto* heading = oldSide->findChild<QLabel*>(QStringLiteral("oldTreesHeading"));
  heading->setText(
      old == nullptr
          ? QCoreApplication::translate("ParsePane", "<b>上次</b>：没有这个格式")
          : QCoreApplication::translate("ParsePane", "<b>上次：%1</b>&emsp;%2 种；标出的是失去的")
                .arg(JudgementName(from).toHtmlEscaped())
                .arg(old->count));
  const bool any = !newTrees.empty();
  const bool numbered = newTrees.size() > 1;
  canvas_->SetTrees(std::move(newTrees), std::move(newMarks), numbered);
  const bool oldNumbered = oldTrees.size() > 1;
  oldSide->findChild<TreeCanvas*>(QStringLiteral("oldTrees"))
      ->SetTrees(std::move(oldTrees), std::move(oldMarks), oldNumbered);
  oldSide->show();
  for (QAction* action : {copyAll_, svgAll_, pngAll_}) action->setEnabled(any);
}

}  // namespace marvolen
