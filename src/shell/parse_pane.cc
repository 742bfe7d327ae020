// The parse pane.
#include "shell/parse_pane.h"

#include <QtWidgets>

#include "analysis/parse_differences.h"
#include "analysis/report_writer.h"
#include "drawing/svg.h"
#include "encoding/gbk.h"
#include "encoding/gbk_text.h"
#include "grammar/permutation.h"
#include "platform/file_system.h"
#include "platform/replace_file.h"
#include "run/run.h"
#include "shell/dialogs.h"
#include "shell/document.h"
#include "shell/document_window.h"
#include "shell/report_view.h"
#include "shell/tree_canvas.h"
#include "shell/tree_painter.h"

namespace marvolen {

namespace {

// Exported drawings: SVG at the size of a 14-pixel font, images twice as
// fine (192 dots per inch), for print.
constexpr int kSvgPixels = 14;
constexpr int kImagePixels = 28;
constexpr double kImageDotsPerInch = 192;
// The grammar's documents are read again this long after the last edit.
constexpr int kGrammarEditDelayMs = 300;
const char kTooLarge[] = QT_TRANSLATE_NOOP("ParsePane", "这幅图太大，无法做成图片；请另存为 SVG。");
// Said instead of the divergence points of parses too many to go through,
// in the words of marvolen-report --parse.
const char kPointsNotFound[] = "歧义点：未计算（组合方式超出上限）";

QString FromGbk(const std::string& gbk) { return QString::fromStdString(GbkToUtf8(gbk)); }

bool Contains(const std::vector<int>& values, int value) {
  return std::find(values.begin(), values.end(), value) != values.end();
}

// Put the first of `from` among the first of `into`, by index, keeping
// `keep` of them.
void MergeFirst(ParseGroup& into, ParseGroup& from, std::size_t keep) {
  std::vector<std::pair<std::size_t, std::unique_ptr<ParseTreeNode>>> both;
  for (ParseGroup* group : {&into, &from}) {
    for (std::size_t k = 0; k < group->first.size(); ++k)
      both.emplace_back(group->first[k],
                        k < group->trees.size() ? std::move(group->trees[k]) : nullptr);
  }
  std::sort(both.begin(), both.end(),
            [](const auto& a, const auto& b) { return a.first < b.first; });
  if (both.size() > keep) both.resize(keep);
  into.first.clear();
  into.trees.clear();
  for (auto& [index, tree] : both) {
    into.first.push_back(index);
    if (tree != nullptr) into.trees.push_back(std::move(tree));
  }
}

QPlainTextEdit* TextOf(QWidget* widget) {
  if (widget == nullptr) return nullptr;
  if (auto* edit = qobject_cast<QPlainTextEdit*>(widget)) return edit;
  return widget->findChild<QPlainTextEdit*>();
}

// A name for a file made of `sequence`: its items without the characters
// that file names cannot hold on some systems.
QString FileNameOf(const QString& sequence) {
  QString name = sequence.simplified();
  name.remove(QRegularExpression(QStringLiteral("[<>:\"/\\\\|?*\\x00-\\x1f]")));
  return name.isEmpty() ? QCoreApplication::translate("ParsePane", "分析树") : name;
}

// A check box's mark as the style draws it, off and on, so that a
// checkable button shows its state plainly.
QIcon CheckMarkIcon(const QWidget* widget) {
  QStyle* style = widget->style();
  const int size = style->pixelMetric(QStyle::PM_IndicatorWidth, nullptr, widget);
  QIcon icon;
  for (const bool on : {false, true}) {
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    QStyleOptionButton option;
    option.initFrom(widget);
    option.rect = QRect(0, 0, size, size);
    option.state = QStyle::State_Enabled | (on ? QStyle::State_On : QStyle::State_Off);
    style->drawPrimitive(QStyle::PE_IndicatorCheckBox, &option, &painter, widget);
    painter.end();
    icon.addPixmap(pixmap, QIcon::Normal, on ? QIcon::On : QIcon::Off);
  }
  return icon;
}

// Why a picture may not be saved at `path`, or "": neither a data file,
// config.ini nor the report file is replaced by one.
QString Refusal(const std::string& startupDir, const PaneGrammar& grammar, const QString& path) {
  const std::string profile = ProfilePathFor(startupDir);
  for (const QString& input : {QString::fromStdString(profile), grammar.tagsPath(),
                               grammar.rulesPath(), grammar.sequencesPath()}) {
    if (SameFile(path, input))
      return QCoreApplication::translate("ParsePane", "%1 是数据文件，没有被覆盖。")
          .arg(QDir::toNativeSeparators(path));
  }
  if (std::string result = NativePath(ReadRunConfig(profile).result); !result.empty()) {
    if (!IsAbsolutePath(result)) result = startupDir + kPathSeparator + result;
    const QString report = QDir::cleanPath(QString::fromStdString(result));
    if (SameFile(QDir::cleanPath(path), report))
      return QCoreApplication::translate("ParsePane", "%1 是分析报告文件，没有被覆盖。")
          .arg(QDir::toNativeSeparators(path));
  }
  return QString();
}

}  // namespace

ParseGrouper::ParseGrouper(const RuleGroups& groups, const DivergencePoints& points,
                           std::size_t keep, bool copy)
    : groups_(groups), points_(points), keep_(std::max<std::size_t>(keep, 1)), copy_(copy) {}

void ParseGrouper::Add(const ParseTreeNode& root) {
  const std::vector<SpannedNode> flat = SpannedNodes(root);
  const std::vector<int> tops = PointNodes(flat, points_, groups_);
  std::vector<int> key;
  std::vector<std::vector<int>> readings;
  for (std::size_t p = 0; p < points_.size(); ++p) {
    std::vector<int> reading = {kNoRuleGroup};  // the top's group, then those below
    if (const int at = tops[p]; at >= 0) {
      const ParseTreeNode& top = *flat[static_cast<std::size_t>(at)].node;
      if (top.firstChild != nullptr) reading[0] = groups_.GroupOf(top);
      std::vector<int> below;
      for (int i = at + 1; i < flat[static_cast<std::size_t>(at)].subtreeEnd; ++i) {
        const ParseTreeNode& node = *flat[static_cast<std::size_t>(i)].node;
        if (node.firstChild == nullptr) continue;
        const int group = groups_.GroupOf(node);
        if (group != reading[0] && Contains(points_[p].groups, group) && !Contains(below, group))
          below.insert(std::lower_bound(below.begin(), below.end(), group), group);
      }
      reading.insert(reading.end(), below.begin(), below.end());
    }
    key.push_back(static_cast<int>(reading.size()));
    key.insert(key.end(), reading.begin(), reading.end());
    readings.push_back(std::move(reading));
  }
  ParseGroup& group = raw_[{root.label, std::move(key)}];
  if (group.count++ == 0) {
    group.root = root.label;
    group.readings = std::move(readings);
  }
  if (group.first.size() < keep_) {
    group.first.push_back(added_);
    if (copy_) group.trees.push_back(CopyTree(&root));
  }
  ++added_;
}

std::vector<ParseGroup> ParseGrouper::Finish() {
  // A point where the parses' tops are built by different rules is told by
  // its top's rule alone; one where they all have the same top rule, by
  // the point's rules used below it.
  std::vector<std::vector<int>> tops(points_.size());
  for (const auto& [key, group] : raw_)
    for (std::size_t p = 0; p < points_.size(); ++p)
      if (!Contains(tops[p], group.readings[p][0])) tops[p].push_back(group.readings[p][0]);
  std::map<std::pair<std::string, std::vector<std::vector<int>>>, ParseGroup> merged;
  for (auto& [key, group] : raw_) {
    std::vector<std::vector<int>> readings;
    for (std::size_t p = 0; p < points_.size(); ++p) {
      const std::vector<int>& reading = group.readings[p];
      readings.push_back(tops[p].size() > 1 ? std::vector<int>{reading[0]}
                                            : std::vector<int>(reading.begin() + 1, reading.end()));
    }
    ParseGroup& into = merged[{group.root, readings}];
    if (into.count == 0) {
      into.root = group.root;
      into.readings = std::move(readings);
    }
    into.count += group.count;
    MergeFirst(into, group, keep_);
  }
  raw_.clear();
  std::vector<ParseGroup> result;
  for (auto& [key, group] : merged) result.push_back(std::move(group));
  std::sort(result.begin(), result.end(), [](const ParseGroup& a, const ParseGroup& b) {
    return a.count != b.count ? a.count > b.count : a.first.front() < b.first.front();
  });
  return result;
}

std::optional<QString> SequenceOfLine(qint64 number, const std::function<QString(qint64)>& lineAt,
                                      bool reportLines) {
  QString line = lineAt(number);
  if (!reportLines) return line;
  // A degree line: "\t [k] items\tcount".
  static const QRegularExpression degree(QStringLiteral("^\\t \\[\\d+\\] (.*?)\\t+\\d+$"));
  if (const QRegularExpressionMatch match = degree.match(line); match.hasMatch())
    return match.captured(1);
  // The report's own lines that an indent does not make a pattern: its
  // counts ("\t其中…:12个") and its "none" lines ("\t没有…!!!"), in the
  // report's words whatever the workbench's language.
  static const QRegularExpression own(QStringLiteral("^\\t+(其中.*:\\d+个|(没有|无).*!!!)$"));
  auto isItemLine = [&](qint64 n) {
    const QString text = lineAt(n);
    if (!text.startsWith(QLatin1Char('\t')) || text.startsWith(QLatin1String("\t\t")) ||
        own.match(text).hasMatch())
      return false;
    // The tag list follows its heading "全部标记共有 N 个: ".
    if (n > 0 && lineAt(n - 1).startsWith(QStringLiteral("全部标记共有"))) return false;
    return text.split(QLatin1Char(' '), Qt::SkipEmptyParts).size() <= kMaxItems;
  };
  // A parse line, or the line of parses too many to list, follows its item line.
  if (line.startsWith(QLatin1String("\t\t"))) {
    if (own.match(line).hasMatch()) return std::nullopt;
    qint64 item = number;
    while (item >= 0 && lineAt(item).startsWith(QLatin1String("\t\t"))) --item;
    if (item < 0 || !isItemLine(item)) return std::nullopt;
    line = lineAt(item);
  } else if (!isItemLine(number)) {
    return std::nullopt;
  }
  while (line.startsWith(QLatin1Char('\t'))) line.remove(0, 1);  // the report's indent
  return line;
}

std::optional<QString> SequenceOfLine(const QTextBlock& block, bool reportLines) {
  const QTextDocument* text = block.document();
  return SequenceOfLine(
      block.blockNumber(), [text](qint64 n) { return text->findBlockByNumber(int(n)).text(); },
      reportLines);
}

ParsePane::ParsePane(std::string startupDir, QMdiArea* area, DialogProvider& dialogs,
                     QWidget* parent)
    : QDockWidget(QCoreApplication::translate("ParsePane", "分析树"), parent),
      startupDir_(startupDir),
      area_(area),
      dialogs_(dialogs),
      grammar_(std::move(startupDir)),
      input_(new QLineEdit),
      follow_(new QToolButton),
      verdict_(new QLabel),
      messages_(new QLabel),
      points_(new QLabel),
      canvas_(new TreeCanvas) {
  setObjectName(QStringLiteral("parsePane"));
  input_->setObjectName(QStringLiteral("sequenceInput"));
  follow_->setObjectName(QStringLiteral("followCursor"));
  input_->setPlaceholderText(QCoreApplication::translate("ParsePane", "输入格式，如 v n u<的> n"));
  input_->setClearButtonEnabled(true);
  follow_->setText(QCoreApplication::translate("ParsePane", "跟随光标"));
  follow_->setToolTip(QCoreApplication::translate("ParsePane", "分析活动窗口中光标所在的行"));
  follow_->setCheckable(true);
  follow_->setChecked(true);
  follow_->setIcon(CheckMarkIcon(follow_));
  follow_->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
  follow_->setAutoRaise(true);
  verdict_->setTextFormat(Qt::RichText);
  verdict_->setTextInteractionFlags(Qt::TextSelectableByMouse);
  // A text that changes at every keystroke leaves the window's size alone.
  verdict_->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Fixed);
  verdict_->setFixedHeight(verdict_->fontMetrics().height() + 4);
  messages_->setWordWrap(true);
  messages_->setTextInteractionFlags(Qt::TextSelectableByMouse);
  messages_->setForegroundRole(QPalette::ToolTipText);
  messages_->setBackgroundRole(QPalette::ToolTipBase);
  messages_->setAutoFillBackground(true);
  messages_->setMargin(4);
  messages_->hide();
  points_->setObjectName(QStringLiteral("divergencePoints"));
  points_->setTextFormat(Qt::RichText);
  points_->setWordWrap(true);
  points_->setTextInteractionFlags(Qt::TextBrowserInteraction);
  points_->setOpenExternalLinks(false);
  points_->setToolTip(
      QCoreApplication::translate("ParsePane", "单击规则名，到规则文件中的这条规则"));
  points_->hide();
  connect(points_, &QLabel::linkActivated, this, [this](const QString& link) {
    if (link.startsWith(QLatin1String("rule:"))) ChooseRule(link.mid(5).toInt());
  });
  canvas_->SetNodeText([this](const ParseTreeNode& node) { return RuleText(node); });
  connect(canvas_, &TreeCanvas::nodeClicked, this, [this](int tree, int node) {
    if (const ParseTreeNode* at = canvas_->NodeOf(tree, node)) ChooseRuleOf(*at);
  });

  copyAll_ = new QAction(QCoreApplication::translate("ParsePane", "复制全部树的图片(&C)"), this);
  svgAll_ = new QAction(QCoreApplication::translate("ParsePane", "全部另存为 SVG(&S)..."), this);
  pngAll_ = new QAction(QCoreApplication::translate("ParsePane", "全部另存为 PNG(&P)..."), this);
  connect(copyAll_, &QAction::triggered, this, [this] { CopyImage(-1); });
  connect(svgAll_, &QAction::triggered, this, [this] { Save(-1, Format::kSvg); });
  connect(pngAll_, &QAction::triggered, this, [this] { Save(-1, Format::kPng); });
  // A push button makes room for its menu's arrow beside the text.
  auto* exports = new QPushButton(QCoreApplication::translate("ParsePane", "导出"));
  exports->setObjectName(QStringLiteral("exportButton"));
  auto* exportMenu = new QMenu(exports);
  exportMenu->addActions({copyAll_, svgAll_, pngAll_});
  exports->setMenu(exportMenu);

  auto* top = new QHBoxLayout;
  top->addWidget(input_, 1);
  top->addWidget(follow_);
  top->addWidget(exports);
  auto* body = new QWidget;
  auto* layout = new QVBoxLayout(body);
  layout->setContentsMargins(4, 4, 4, 4);
  layout->addLayout(top);
  layout->addWidget(verdict_);
  layout->addWidget(points_);
  layout->addWidget(messages_);
  layout->addWidget(canvas_, 1);
  setWidget(body);

  canvas_->setContextMenuPolicy(Qt::CustomContextMenu);
  connect(canvas_, &QWidget::customContextMenuRequested, this, &ParsePane::ShowContextMenu);
  connect(input_, &QLineEdit::textChanged, this, &ParsePane::Analyse);
  connect(follow_, &QToolButton::toggled, this, &ParsePane::TakeLineUnderCursor);
  grammarEdited_.setSingleShot(true);
  grammarEdited_.setInterval(kGrammarEditDelayMs);
  connect(&grammarEdited_, &QTimer::timeout, this, &ParsePane::Analyse);
  // Queued: the area signals while it is being destroyed, and the pane with it.
  connect(area, &QMdiArea::subWindowActivated, this, &ParsePane::WatchActiveWindow,
          Qt::QueuedConnection);
  Analyse();
}

QString ParsePane::messageText() const { return messages_->text(); }

QStringList ParsePane::groupTexts() const {
  QStringList texts;
  for (const CanvasTrees::Heading& heading : canvas_->headings()) texts.append(heading.text);
  return texts;
}

QString ParsePane::RuleText(const ParseTreeNode& node) const {
  const RuleGroups* groups = grammar_.ruleGroups();
  if (groups == nullptr || node.firstChild == nullptr) return QString();
  const int group = groups->GroupOf(node);
  return group == kNoRuleGroup ? QString() : FromGbk(groups->Describe(group));
}

bool ParsePane::ChooseRuleOf(const ParseTreeNode& node) {
  const RuleGroups* groups = grammar_.ruleGroups();
  if (groups == nullptr || node.firstChild == nullptr) return false;
  const int group = groups->GroupOf(node);
  return group != kNoRuleGroup && ChooseRule(groups->Members(group).front());
}

bool ParsePane::ChooseRule(int index) {
  const SequenceAnalyser* analyser = grammar_.analyser();
  const int line = analyser != nullptr ? analyser->rules().LineOf(index) : 0;
  if (line <= 0 || grammar_.rulesPath().isEmpty()) return false;
  emit ruleChosen(grammar_.rulesPath(), line);
  return true;
}

void ParsePane::ShowPoints(const DivergencePoints& points, const RuleGroups& groups) {
  const RuleSet& rules = grammar_.analyser()->rules();
  QStringList rich;
  for (const DivergencePoint& point : points) {
    // In the words of marvolen-report --parse, each title a link to its rule.
    QString plain = QStringLiteral("歧义点 %1: ").arg(QString::fromStdString(SpanText(point)));
    QString html = plain.toHtmlEscaped();
    for (std::size_t k = 0; k < point.groups.size(); ++k) {
      const int group = point.groups[k];
      if (k > 0) {
        plain += QStringLiteral(" | ");
        html += QStringLiteral(" | ");
      }
      const std::string titles = groups.Titles(group);
      const std::string described = groups.Describe(group);
      plain += FromGbk(described);
      if (group == kNoRuleGroup) {
        html += FromGbk(described).toHtmlEscaped();
        continue;
      }
      QStringList links;
      std::size_t from = 0;
      for (;;) {
        const std::size_t to = std::min(titles.find('=', from), titles.size());
        const std::string title = titles.substr(from, to - from);
        int member = groups.Members(group).front();
        for (const int m : groups.Members(group))
          if (rules.rules[static_cast<std::size_t>(m)].title() == title) {
            member = m;
            break;
          }
        links.append(QStringLiteral("<a href=\"rule:%1\">%2</a>")
                         .arg(member)
                         .arg(FromGbk(title).toHtmlEscaped()));
        if (to >= titles.size()) break;
        from = to + 1;
      }
      html +=
          links.join(QLatin1Char('=')) + FromGbk(described.substr(titles.size())).toHtmlEscaped();
    }
    pointLines_.append(plain);
    rich.append(html);
  }
  points_->setText(rich.join(QStringLiteral("<br>")));
}

CanvasTrees ParsePane::Arrange(ParseList parses, ParseMarks marks,
                               std::vector<ParseGroup> parseGroups, const DivergencePoints& points,
                               const RuleGroups& rules) const {
  CanvasTrees trees;
  if (parseGroups.empty()) {
    if (parses.size() > 1)
      for (std::size_t k = 0; k < parses.size(); ++k)
        trees.numbers.push_back(static_cast<int>(k) + 1);
    trees.parses = std::move(parses);
    trees.marks = std::move(marks);
  } else {
    // The trees kept by the grouper when the parses were not kept.
    const bool copies = parses.empty();
    for (ParseGroup& group : parseGroups) {
      QString text = QCoreApplication::translate("ParsePane", "根 %1").arg(FromGbk(group.root));
      for (std::size_t p = 0; p < points.size(); ++p) {
        QStringList titles;
        for (const int rule : group.readings[p]) titles.append(FromGbk(rules.Titles(rule)));
        text += QStringLiteral("\u3000%1: %2")
                    .arg(QString::fromStdString(SpanText(points[p])),
                         titles.isEmpty() ? QStringLiteral("-") : titles.join(QLatin1Char('+')));
      }
      text += QStringLiteral("\u3000") +
              (group.count > group.first.size()
                   ? QCoreApplication::translate("ParsePane", "共%1种，画出前%2种")
                         .arg(group.count)
                         .arg(group.first.size())
                   : QCoreApplication::translate("ParsePane", "共%1种").arg(group.count));
      trees.headings.push_back({static_cast<int>(trees.parses.size()), text});
      for (std::size_t k = 0; k < group.first.size(); ++k) {
        const std::size_t index = group.first[k];
        trees.numbers.push_back(static_cast<int>(index) + 1);
        trees.parses.push_back(copies ? std::move(group.trees[k]) : std::move(parses[index]));
        if (!copies && index < marks.size()) trees.marks.push_back(std::move(marks[index]));
      }
    }
  }
  for (const auto& parse : trees.parses) trees.points.push_back(PointMarks(*parse, points, rules));
  return trees;
}

void ParsePane::showEvent(QShowEvent* event) {
  QDockWidget::showEvent(event);
  // The first time, room for two or three trees side by side.
  auto* window = qobject_cast<QMainWindow*>(parentWidget());
  if (!shownBefore_ && window != nullptr && !isFloating())
    window->resizeDocks({this}, {window->width() * 2 / 5}, Qt::Horizontal);
  shownBefore_ = true;
  WatchActiveWindow();
  Analyse();
}

void ParsePane::Analyse() {
  if (!isVisible()) return;  // it is done when the pane shows
  QList<Document*> open;
  if (area_ != nullptr) {
    for (QMdiSubWindow* window : area_->subWindowList())
      if (auto* frame = qobject_cast<DocumentWindow*>(window))
        if (!open.contains(frame->document())) open.append(frame->document());
  }
  if (grammar_.Update(open)) WatchGrammarDocuments();

  QStringList messages = grammar_.messages();
  const QString line = input_->text();
  judgement_.clear();
  count_.clear();
  pointLines_.clear();
  ParseList parses;
  ParseMarks marks;
  PermutationClass judgement = PermutationClass::CannotCombine;
  DivergencePoints points;
  bool pointsFound = false;
  std::vector<ParseGroup> groups;
  GbkEncodeError bad;
  const std::optional<std::string> gbk =
      EncodeGbkText(line.toStdU16String(), LineEnding::kLf, &bad);
  SequenceAnalyser* analyser = grammar_.analyser();
  if (!gbk) {
    const char32_t c = bad.character;
    messages.append(QCoreApplication::translate("ParsePane", "“%1”不是 GBK 编码能表示的字符。")
                        .arg(QString::fromUcs4(&c, 1)));
  } else if (analyser != nullptr) {
    SequenceAnalysis analysis = analyser->Analyse(*gbk);
    switch (analysis.problem) {
      case SequenceProblem::kTooManyItems:
        messages.append(
            QCoreApplication::translate("ParsePane", "一个格式最多有五项，这里有 %1 项。")
                .arg(analysis.itemCount));
        break;
      case SequenceProblem::kItemTooLong:
        messages.append(QCoreApplication::translate("ParsePane", "项长于 19 个字节（GBK）：%1")
                            .arg(QString::fromStdString(GbkToUtf8(analysis.overlongItem))));
        break;
      case SequenceProblem::kOutOfMemory:
        messages.append(QStringLiteral("Memory Allocation Error !"));
        break;
      case SequenceProblem::kNone: {
        if (analysis.itemCount == 0) break;
        // An item that is no tag is the usual reason a pattern cannot combine.
        QStringList unknown;
        for (const std::string& item : analysis.items) {
          const std::vector<std::string>& tags = grammar_.tags();
          const QString text = QString::fromStdString(GbkToUtf8(item));
          if (std::find(tags.begin(), tags.end(), item) == tags.end() && !unknown.contains(text))
            unknown.append(text);
        }
        if (!unknown.isEmpty())
          messages.append(QCoreApplication::translate("ParsePane", "不是标记集中的标记：%1")
                              .arg(unknown.join(QCoreApplication::translate("ParsePane", "、"))));
        judgement_ = QString::fromUtf8(JudgementWords(analysis.judgement));
        count_ = (analysis.parseCount > analyser->maxParses()
                      ? QString::fromStdString(GbkToUtf8(UnlistedParsesLine(analysis.parseCount,
                                                                            analyser->maxParses())))
                            .trimmed()
                      : QCoreApplication::translate("ParsePane", "共有%1种组合方式")
                            .arg(analysis.parseCount));
        judgement = analysis.judgement;
        const RuleGroups& rules = *grammar_.ruleGroups();
        const bool ambiguous =
            judgement == PermutationClass::Overt || judgement == PermutationClass::Covert;
        if (analysis.parseCount <= analyser->maxParses()) {
          marks = MarkDifferences(analysis.parses, judgement);
          parses = std::move(analysis.parses);
          if (ambiguous) {
            points = FindDivergences(parses, rules);
            pointsFound = true;
          }
          if (ambiguous && parses.size() > kGroupedFrom) {
            ParseGrouper grouper(rules, points, parses.size(), false);
            for (const auto& parse : parses) grouper.Add(*parse);
            groups = grouper.Finish();
          }
        } else if (ambiguous && analysis.parseCount <= kPaneGroupedParses) {
          // Too many to draw: gone through one at a time, twice (the
          // points, then the groups), keeping the first trees of each group.
          Permutation permutation;
          for (std::size_t k = 0; k < analysis.items.size(); ++k)
            permutation.items[k] = analysis.items[k];
          permutation.currentItemCount = analysis.itemCount;
          ParseEngine& engine = *grammar_.groupingEngine();
          try {
            if (engine.CountDistinctParses(permutation, kPaneGroupedParses).count <=
                kPaneGroupedParses) {
              points = FindDivergences(engine, judgement, rules);
              ParseGrouper grouper(rules, points, kTreesPerGroup, true);
              engine.VisitDistinctParses(
                  [&grouper](const ParseTreeNode& root) { grouper.Add(root); });
              groups = grouper.Finish();
              pointsFound = true;
            }
          } catch (const std::bad_alloc&) {
            points.clear();
            groups.clear();
            pointsFound = false;
            messages.append(QStringLiteral("Memory Allocation Error !"));
          }
        }
        if (ambiguous && !pointsFound) pointLines_.append(QString::fromUtf8(kPointsNotFound));
        break;
      }
    }
  }
  if (pointsFound)
    ShowPoints(points, *grammar_.ruleGroups());
  else
    points_->setText(pointLines_.join(QLatin1Char('\n')).toHtmlEscaped());
  points_->setVisible(!pointLines_.isEmpty());
  verdict_->setText(
      judgement_.isEmpty()
          ? QString()
          : QStringLiteral("<b>%1</b>&emsp;%2").arg(judgement_.toHtmlEscaped(), count_));
  messages_->setText(messages.join(QLatin1Char('\n')));
  messages_->setVisible(!messages.isEmpty());
  name_ = FileNameOf(line);
  const bool copies = parses.empty() && !groups.empty();
  CanvasTrees trees;
  if (const RuleGroups* rules = grammar_.ruleGroups(); rules != nullptr)
    trees = Arrange(std::move(parses), std::move(marks), std::move(groups), points, *rules);
  else
    trees = Arrange(std::move(parses), std::move(marks), {}, {}, RuleGroups(RuleSet()));
  // The first trees of groups of parses too many to draw: their differences
  // among themselves.
  if (copies) trees.marks = MarkDifferences(trees.parses, judgement);
  const bool any = !trees.parses.empty();
  canvas_->SetTrees(std::move(trees));
  for (QAction* action : {copyAll_, svgAll_, pngAll_}) action->setEnabled(any);
}

void ParsePane::WatchGrammarDocuments() {
  for (const QMetaObject::Connection& connection : grammarWatch_) disconnect(connection);
  grammarWatch_.clear();
  for (Document* document : grammar_.documents()) {
    grammarWatch_.append(connect(document->text(), &QTextDocument::contentsChanged, this, [this] {
      grammar_.MarkEdited();
      grammarEdited_.start();
    }));
  }
}

void ParsePane::WatchActiveWindow() {
  disconnect(cursorMoved_);
  QMdiSubWindow* window = area_ != nullptr ? area_->currentSubWindow() : nullptr;
  QWidget* widget = window != nullptr ? window->widget() : nullptr;
  watched_ = TextOf(widget);
  if (watched_ != nullptr) {
    cursorMoved_ =
        connect(static_cast<QPlainTextEdit*>(watched_.data()),
                &QPlainTextEdit::cursorPositionChanged, this, &ParsePane::TakeLineUnderCursor);
  } else if (ReportView* report = widget != nullptr ? widget->findChild<ReportView*>() : nullptr) {
    watched_ = report;
    cursorMoved_ =
        connect(report, &ReportView::currentLineChanged, this, &ParsePane::TakeLineUnderCursor);
  }
  TakeLineUnderCursor();
}

void ParsePane::TakeLineUnderCursor() {
  if (!follow_->isChecked() || !isVisible() || watched_ == nullptr || area_ == nullptr) return;
  // The tag set and the rules are the grammar, not sequences to analyse.
  grammar_.ReadConfig();
  const auto* frame = qobject_cast<DocumentWindow*>(area_->currentSubWindow());
  const QString path = frame != nullptr ? frame->document()->path() : QString();
  if (SameFile(path, grammar_.tagsPath()) || SameFile(path, grammar_.rulesPath())) return;
  std::optional<QString> line;
  QString text;  // the line as it is
  if (auto* edit = qobject_cast<QPlainTextEdit*>(watched_.data())) {
    const bool report = !SameFile(path, grammar_.sequencesPath());
    line = SequenceOfLine(edit->textCursor().block(), report);
    if (report) text = edit->textCursor().block().text();
  } else if (auto* report = qobject_cast<ReportView*>(watched_.data())) {
    line = SequenceOfLine(
        report->cursorLine() - 1, [report](qint64 n) { return report->lineText(n + 1); }, true);
    text = report->lineText(report->cursorLine());
  }
  // A heading, a count or a "none" line of a report leaves the pane as it was.
  if (!line) return;
  if (*line != input_->text()) input_->setText(*line);
  // Parse line [k] picks out tree k.
  static const QRegularExpression numbered(QStringLiteral("^\\t\\t\\[(\\d+)\\]\\("));
  const QRegularExpressionMatch match = numbered.match(text);
  canvas_->PickOut(match.hasMatch() ? canvas_->TreeNumbered(match.captured(1).toInt()) : -1);
}

void ParsePane::ShowContextMenu(const QPoint& point) {
  const int tree = canvas_->TreeAt(point);
  QMenu menu;
  if (tree >= 0) {
    const int shown = canvas_->NumberOf(static_cast<std::size_t>(tree));
    const QString number = QString::number(shown > 0 ? shown : tree + 1);
    menu.addAction(QCoreApplication::translate("ParsePane", "复制树 [%1] 的图片").arg(number), this,
                   [this, tree] { CopyImage(tree); });
    menu.addAction(QCoreApplication::translate("ParsePane", "树 [%1] 另存为 SVG...").arg(number),
                   this, [this, tree] { Save(tree, Format::kSvg); });
    menu.addAction(QCoreApplication::translate("ParsePane", "树 [%1] 另存为 PNG...").arg(number),
                   this, [this, tree] { Save(tree, Format::kPng); });
    menu.addSeparator();
  }
  menu.addActions({copyAll_, svgAll_, pngAll_});
  menu.exec(canvas_->viewport()->mapToGlobal(point));
}

QImage ParsePane::Image(int index) const {
  const QFont font = TreeFont(kImagePixels);
  return RenderImage(canvas_->Drawing(index, font), font, kImageDotsPerInch);
}

bool ParsePane::CopyImage(int index) {
  if (canvas_->treeCount() == 0 || index >= canvas_->treeCount()) return false;
  const QImage image = Image(index);
  if (image.isNull()) {
    Fail(QCoreApplication::translate("ParsePane", kTooLarge));
    return false;
  }
  QGuiApplication::clipboard()->setImage(image);
  return true;
}

bool ParsePane::Save(int index, Format format) {
  if (canvas_->treeCount() == 0 || index >= canvas_->treeCount()) return false;
  QString name = name_;
  if (index >= 0 && canvas_->treeCount() > 1)
    name += QStringLiteral(" [%1]").arg(canvas_->NumberOf(static_cast<std::size_t>(index)));
  name += format == Format::kSvg ? QStringLiteral(".svg") : QStringLiteral(".png");
  const QString proposed = QDir(QString::fromStdString(startupDir_)).filePath(name);
  // A file the picture may not replace is refused before it is asked about.
  const QString path = ChooseSaveName(dialogs_, this, proposed, [this](const QString& chosen) {
    return Refusal(startupDir_, grammar_, chosen);
  });
  if (path.isEmpty()) return false;
  const QString problem = Export(index, format, path);
  if (!problem.isEmpty()) Fail(problem);
  return problem.isEmpty();
}

QString ParsePane::Export(int index, Format format, const QString& path) const {
  if (QString refused = Refusal(startupDir_, grammar_, path); !refused.isEmpty()) return refused;
  QByteArray bytes;
  if (format == Format::kSvg) {
    const QFont font = TreeFont(kSvgPixels);
    bytes = QByteArray::fromStdString(RenderSvg(canvas_->Drawing(index, font), StyleFor(font)));
  } else {
    const QImage image = Image(index);
    if (image.isNull()) return QCoreApplication::translate("ParsePane", kTooLarge);
    QBuffer buffer(&bytes);
    if (!buffer.open(QIODevice::WriteOnly) || !image.save(&buffer, "PNG"))
      return QCoreApplication::translate("ParsePane", "无法生成 PNG 图片。");
  }
  // Written beside the file and put in its place when complete, as every
  // file the program writes; a folder, a pipe, a device or a read-only file
  // is refused at once.
  std::string failure;
  if (!ReplaceFileContents(path.toStdString(), std::string_view(bytes.constData(), bytes.size()),
                           &failure))
    return QCoreApplication::translate("ParsePane", "无法保存文件 %1。\n%2")
        .arg(QDir::toNativeSeparators(path), QString::fromStdString(failure));
  return QString();
}

void ParsePane::Fail(const QString& text) {
  dialogs_.ShowMessage(this, text, MessageIcon::kWarning);
}

}  // namespace marvolen
