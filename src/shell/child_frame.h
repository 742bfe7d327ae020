// The Marvolen document window. It handles the analysis command, which is
// therefore offered only while a document window is active.
#ifndef MARVOLEN_SHELL_CHILD_FRAME_H_
#define MARVOLEN_SHELL_CHILD_FRAME_H_

#include "shell/mdi_child_frame.h"

namespace marvolen {

class CMarvolenApp;

class CChildFrame : public MdiChildFrame {
  Q_OBJECT

 public:
  explicit CChildFrame(CMarvolenApp* app);

  // "生成歧义格式统计报告": one analysis run on the data files as they are on
  // disk (open documents are neither saved nor read).
  void OnGenerateReport();

 private:
  CMarvolenApp* app_;
};

}  // namespace marvolen

#endif  // MARVOLEN_SHELL_CHILD_FRAME_H_
