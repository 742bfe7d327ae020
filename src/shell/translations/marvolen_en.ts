<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en" sourcelanguage="zh_CN">
<context>
    <name>AnalysisRunner</name>
    <message>
        <source>已处理排列 %v / %m</source>
        <translation>Permutations processed: %v / %m</translation>
    </message>
    <message>
        <source>正在生成歧义格式统计报告……</source>
        <translation>Generating the ambiguity pattern report…</translation>
    </message>
    <message>
        <source>取消</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <source>正在停止分析……</source>
        <translation>Stopping the analysis…</translation>
    </message>
    <message>
        <source>HTML 报告文件</source>
        <translation>HTML report file</translation>
    </message>
    <message>
        <source>分析树 CSV 文件</source>
        <translation>CSV file of parses</translation>
    </message>
    <message>
        <source>CSV 文件</source>
        <translation>CSV file</translation>
    </message>
    <message>
        <source>分析已停止，报告文件保持原样：%1</source>
        <translation>The analysis was stopped; the report file was left as it was: %1</translation>
    </message>
    <message>
        <source>%1也保持原样：%2</source>
        <translation>The %1 was left as it was too: %2</translation>
    </message>
    <message>
        <source>%1未能完整写入：%2</source>
        <translation>The %1 could not be written completely: %2</translation>
    </message>
    <message>
        <source>报告文件未能完整写入：%1</source>
        <translation>Report file could not be written completely: %1</translation>
    </message>
    <message>
        <source>本次运行有输出未能写入，报告文件保持原样：%1</source>
        <translation>The report file was left as it was, as an output of the run could not be written: %1</translation>
    </message>
    <message>
        <source>报告文件同时是输入文件，未被覆盖：%1</source>
        <translation>The report file is also an input file and was not overwritten: %1</translation>
    </message>
    <message>
        <source>%1同时是输入文件或本次运行的另一输出，未写入：%2%3</source>
        <translation>The %1 is also an input file or another output of the run and was not written: %2%3</translation>
    </message>
    <message>
        <source>无法建立%1：%2%3</source>
        <translation>The %1 could not be created: %2%3</translation>
    </message>
    <message>
        <source>%1 的分析树太多（%2，超过上限 %3），报告只给出其数目</source>
        <translation>Too many parses to list for %1: %2, more than the limit of %3; the report gives their number only</translation>
    </message>
    <message>
        <source>另有 %1 个排列的分析树太多，报告只给出其数目</source>
        <translation>Too many parses to list for %1 more permutations; the report gives their number only</translation>
    </message>
    <message>
        <source>；报告照常生成，不含该文件</source>
        <translation>; the report is written without it</translation>
    </message>
    <message>
        <source>规则文件中的单项规则构成一个循环：
</source>
        <translation>One-item rules in Rules_File form a cycle:
</translation>
    </message>
    <message>
        <source>规则文件中的单项规则构成 %1 个循环：
</source>
        <translation>One-item rules in Rules_File form %1 cycles:
</translation>
    </message>
    <message>
        <source>为使分析能够结束，单项规则不用于其单项规则链中已含有其左部标记的短语。</source>
        <translation>To keep the analysis finite, a one-item rule is not applied to a phrase whose chain of one-item rules already holds its left tag.</translation>
    </message>
    <message>
        <source>未知错误</source>
        <translation>unknown error</translation>
    </message>
    <message>
        <source>分析未能完成：%1</source>
        <translation>The analysis could not be completed: %1</translation>
    </message>
    <message>
        <source>保存的结果表</source>
        <translation>table of results kept</translation>
    </message>
</context>
<context>
    <name>ChangesView</name>
    <message>
        <source>标记集</source>
        <translation>Tag Set</translation>
    </message>
    <message>
        <source>格式序列</source>
        <translation>Sequences</translation>
    </message>
    <message>
        <source>不能组合</source>
        <translation>Cannot Combine</translation>
    </message>
    <message>
        <source>一种组合方式</source>
        <translation>One Way</translation>
    </message>
    <message>
        <source>外显型歧义</source>
        <translation>Overt Ambiguity</translation>
    </message>
    <message>
        <source>内含型歧义</source>
        <translation>Covert Ambiguity</translation>
    </message>
    <message>
        <source>无此格式</source>
        <translation>No Such Pattern</translation>
    </message>
</context>
<context>
    <name>Commands</name>
    <message>
        <source>新建(&amp;N)	Ctrl+N</source>
        <translation>&amp;New	Ctrl+N</translation>
    </message>
    <message>
        <source>建立新文档
新建</source>
        <translation>Create a new document
New</translation>
    </message>
    <message>
        <source>打开(&amp;O)...	Ctrl+O</source>
        <translation>&amp;Open...	Ctrl+O</translation>
    </message>
    <message>
        <source>打开一个现有文档
打开</source>
        <translation>Open an existing document
Open</translation>
    </message>
    <message>
        <source>关闭(&amp;C)</source>
        <translation>&amp;Close</translation>
    </message>
    <message>
        <source>关闭活动文档
关闭</source>
        <translation>Close the active document
Close</translation>
    </message>
    <message>
        <source>保存(&amp;S)	Ctrl+S</source>
        <translation>&amp;Save	Ctrl+S</translation>
    </message>
    <message>
        <source>保存活动文档
保存</source>
        <translation>Save the active document
Save</translation>
    </message>
    <message>
        <source>另存为(&amp;A)...</source>
        <translation>Save &amp;As...</translation>
    </message>
    <message>
        <source>将活动文档以一个新文件名保存
另存为</source>
        <translation>Save the active document under a new name
Save As</translation>
    </message>
    <message>
        <source>打印(&amp;P)...	Ctrl+P</source>
        <translation>&amp;Print...	Ctrl+P</translation>
    </message>
    <message>
        <source>打印活动文档
打印</source>
        <translation>Print the active document
Print</translation>
    </message>
    <message>
        <source>打印预览(&amp;V)</source>
        <translation>Print Pre&amp;view</translation>
    </message>
    <message>
        <source>显示整页
打印预览</source>
        <translation>Display full pages
Print Preview</translation>
    </message>
    <message>
        <source>打印设置(&amp;R)...</source>
        <translation>P&amp;rint Setup...</translation>
    </message>
    <message>
        <source>改变打印机及打印选项
打印设置</source>
        <translation>Change the printer and printing options
Print Setup</translation>
    </message>
    <message>
        <source>打开该文档</source>
        <translation>Open this document</translation>
    </message>
    <message>
        <source>退出(&amp;X)</source>
        <translation>E&amp;xit</translation>
    </message>
    <message>
        <source>退出应用程序；提示保存文档
退出</source>
        <translation>Quit the application; prompts to save documents
Exit</translation>
    </message>
    <message>
        <source>撤消(&amp;U)	Ctrl+Z</source>
        <translation>&amp;Undo	Ctrl+Z</translation>
    </message>
    <message>
        <source>撤消最后一步操作
撤消</source>
        <translation>Undo the last action
Undo</translation>
    </message>
    <message>
        <source>剪切(&amp;T)	Ctrl+X</source>
        <translation>Cu&amp;t	Ctrl+X</translation>
    </message>
    <message>
        <source>剪切被选对象并将其置于剪贴板上
剪切</source>
        <translation>Cut the selection and put it on the Clipboard
Cut</translation>
    </message>
    <message>
        <source>复制(&amp;C)	Ctrl+C</source>
        <translation>&amp;Copy	Ctrl+C</translation>
    </message>
    <message>
        <source>复制被选对象并将其置于剪贴板上
复制</source>
        <translation>Copy the selection and put it on the Clipboard
Copy</translation>
    </message>
    <message>
        <source>粘贴(&amp;P)	Ctrl+V</source>
        <translation>&amp;Paste	Ctrl+V</translation>
    </message>
    <message>
        <source>插入剪贴板内容
粘贴</source>
        <translation>Insert the Clipboard contents
Paste</translation>
    </message>
    <message>
        <source>查找(&amp;F)...	Ctrl+F</source>
        <translation>&amp;Find...	Ctrl+F</translation>
    </message>
    <message>
        <source>在活动窗口中查找文字
查找</source>
        <translation>Find text in the active window
Find</translation>
    </message>
    <message>
        <source>查找下一个(&amp;N)	F3</source>
        <translation>Find &amp;Next	F3</translation>
    </message>
    <message>
        <source>查找下一处匹配的文字
查找下一个</source>
        <translation>Find the next match of the text
Find Next</translation>
    </message>
    <message>
        <source>查找上一个(&amp;V)	Shift+F3</source>
        <translation>Find Pre&amp;vious	Shift+F3</translation>
    </message>
    <message>
        <source>查找上一处匹配的文字
查找上一个</source>
        <translation>Find the previous match of the text
Find Previous</translation>
    </message>
    <message>
        <source>替换(&amp;R)...	Ctrl+H</source>
        <translation>&amp;Replace...	Ctrl+H</translation>
    </message>
    <message>
        <source>替换活动文档中的文字
替换</source>
        <translation>Replace text in the active document
Replace</translation>
    </message>
    <message>
        <source>转到(&amp;G)...	Ctrl+G</source>
        <translation>&amp;Go To...	Ctrl+G</translation>
    </message>
    <message>
        <source>转到指定的行
转到</source>
        <translation>Go to a given line
Go To</translation>
    </message>
    <message>
        <source>工具栏(&amp;T)</source>
        <translation>&amp;Toolbar</translation>
    </message>
    <message>
        <source>显示或隐藏工具栏
显隐工具栏</source>
        <translation>Show or hide the toolbar
Toggle Toolbar</translation>
    </message>
    <message>
        <source>状态栏(&amp;S)</source>
        <translation>&amp;Status Bar</translation>
    </message>
    <message>
        <source>显示或隐藏状态栏
显隐状态栏</source>
        <translation>Show or hide the status bar
Toggle Status Bar</translation>
    </message>
    <message>
        <source>分析树窗格(&amp;P)</source>
        <translation>&amp;Parse Tree Pane</translation>
    </message>
    <message>
        <source>输入格式或取光标所在的行，查看其歧义判断和全部分析树
分析树窗格</source>
        <translation>Type a pattern or take the line at the cursor, and see its ambiguity verdict and all its parse trees
Parse Tree Pane</translation>
    </message>
    <message>
        <source>规则窗格(&amp;U)</source>
        <translation>R&amp;ules Panel</translation>
    </message>
    <message>
        <source>查看上次分析中每条规则的用途，以及去掉规则时分析的结果
规则窗格</source>
        <translation>See what each rule did in the last analysis, and what the analysis gives without some rules
Rules Panel</translation>
    </message>
    <message>
        <source>放大(&amp;I)	Ctrl+=</source>
        <translation>Zoom &amp;In	Ctrl+=</translation>
    </message>
    <message>
        <source>放大文字
放大</source>
        <translation>Enlarge the text
Zoom In</translation>
    </message>
    <message>
        <source>缩小(&amp;O)	Ctrl+-</source>
        <translation>Zoom &amp;Out	Ctrl+-</translation>
    </message>
    <message>
        <source>缩小文字
缩小</source>
        <translation>Reduce the text
Zoom Out</translation>
    </message>
    <message>
        <source>默认大小(&amp;D)	Ctrl+0</source>
        <translation>&amp;Default Size	Ctrl+0</translation>
    </message>
    <message>
        <source>文字恢复默认大小
默认大小</source>
        <translation>Return the text to its default size
Default Size</translation>
    </message>
    <message>
        <source>生成歧义格式统计报告</source>
        <translation>Generate Ambiguity Pattern Report</translation>
    </message>
    <message>
        <source>根据给定的规则文件，标签文件，格式序列文件，生成歧义格式统计报告文件</source>
        <translation>Generate the ambiguity pattern report file from the given rules, tags and sequences files</translation>
    </message>
    <message>
        <source>查看分析报告(&amp;R)</source>
        <translation>View Analysis &amp;Report</translation>
    </message>
    <message>
        <source>在报告窗口中打开 config.ini 中 RESULT 所指的报告
查看分析报告</source>
        <translation>Open the report that RESULT in config.ini names in a report window
View Analysis Report</translation>
    </message>
    <message>
        <source>生成 HTML 报告(&amp;H)</source>
        <translation>Write &amp;HTML Report</translation>
    </message>
    <message>
        <source>分析时在报告旁另写一份 HTML 报告，完成后在浏览器中打开
生成 HTML 报告</source>
        <translation>When analysing, also write an HTML report beside the report and open it in the browser when done
Write HTML Report</translation>
    </message>
    <message>
        <source>导出 CSV(&amp;C)</source>
        <translation>Export &amp;CSV</translation>
    </message>
    <message>
        <source>分析时在报告旁另写一份 CSV 表格
导出 CSV</source>
        <translation>When analysing, also write a CSV table beside the report
Export CSV</translation>
    </message>
    <message>
        <source>新建窗口(&amp;N)</source>
        <translation>&amp;New Window</translation>
    </message>
    <message>
        <source>为活动文档打开另一个窗口
新建窗口</source>
        <translation>Open another window for the active document
New Window</translation>
    </message>
    <message>
        <source>层叠(&amp;C)</source>
        <translation>&amp;Cascade</translation>
    </message>
    <message>
        <source>排列窗口成相互重叠
层叠窗口</source>
        <translation>Arrange the windows so that they overlap
Cascade Windows</translation>
    </message>
    <message>
        <source>平铺(&amp;T)</source>
        <translation>&amp;Tile</translation>
    </message>
    <message>
        <source>排列窗口成互不重叠
平铺窗口</source>
        <translation>Arrange the windows as non-overlapping tiles
Tile Windows</translation>
    </message>
    <message>
        <source>排列图标(&amp;A)</source>
        <translation>&amp;Arrange Icons</translation>
    </message>
    <message>
        <source>将图标排列在窗口底部
排列图标</source>
        <translation>Arrange the icons at the bottom of the window
Arrange Icons</translation>
    </message>
    <message>
        <source>关闭活动窗口
关闭窗口</source>
        <translation>Close the active window
Close Window</translation>
    </message>
    <message>
        <source>切换到下一个窗格
下一窗格</source>
        <translation>Switch to the next window pane
Next Pane</translation>
    </message>
    <message>
        <source>切换回前一个窗格
前一窗格</source>
        <translation>Switch back to the previous window pane
Previous Pane</translation>
    </message>
    <message>
        <source>关于 Marvolen(&amp;A)...</source>
        <translation>&amp;About Marvolen...</translation>
    </message>
    <message>
        <source>显示程序信息，版本号和版权
关于</source>
        <translation>Display program information, version number and copyright
About</translation>
    </message>
    <message>
        <source>文件(&amp;F)</source>
        <translation>&amp;File</translation>
    </message>
    <message>
        <source>编辑(&amp;E)</source>
        <translation>&amp;Edit</translation>
    </message>
    <message>
        <source>查看(&amp;V)</source>
        <translation>&amp;View</translation>
    </message>
    <message>
        <source>歧义格式分析(&amp;A)</source>
        <translation>&amp;Analysis</translation>
    </message>
    <message>
        <source>窗口(&amp;W)</source>
        <translation>&amp;Window</translation>
    </message>
    <message>
        <source>帮助(&amp;H)</source>
        <translation>&amp;Help</translation>
    </message>
    <message>
        <source>与规则文件比较(&amp;B)...</source>
        <translation>Compare with Rules &amp;File...</translation>
    </message>
    <message>
        <source>用另一个规则文件分析同样的数据，列出与本次分析相比有变化的格式
与规则文件比较</source>
        <translation>Analyse the same data with another rules file and list the patterns that change
Compare with Rules File</translation>
    </message>
</context>
<context>
    <name>Dialogs</name>
    <message>
        <source>所有文件 (*.*) (*)</source>
        <translation>All Files (*.*) (*)</translation>
    </message>
    <message>
        <source>文本文件 (*.txt)</source>
        <translation>Text Files (*.txt)</translation>
    </message>
    <message>
        <source>数据文件 (%1)</source>
        <translation>Data Files (%1)</translation>
    </message>
    <message>
        <source>%1 已存在。
要替换它吗？</source>
        <translation>%1 already exists.
Do you want to replace it?</translation>
    </message>
    <message>
        <source>保存并覆盖</source>
        <translation>Save and Overwrite</translation>
    </message>
    <message>
        <source>取消</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <source>保存并分析(&amp;S)</source>
        <translation>&amp;Save and Analyse</translation>
    </message>
    <message>
        <source>按已保存的文件分析(&amp;R)</source>
        <translation>&amp;Run on the Saved Files</translation>
    </message>
    <message>
        <source>转到行</source>
        <translation>Go To Line</translation>
    </message>
    <message>
        <source>行号（1 - %1）(&amp;L)：</source>
        <translation>&amp;Line number (1 - %1):</translation>
    </message>
    <message>
        <source>打开</source>
        <translation>Open</translation>
    </message>
    <message>
        <source>另存为</source>
        <translation>Save As</translation>
    </message>
    <message>
        <source>选择窗口</source>
        <translation>Select Window</translation>
    </message>
    <message>
        <source>选择窗口(&amp;W)：</source>
        <translation>Select a &amp;window:</translation>
    </message>
</context>
<context>
    <name>Document</name>
    <message>
        <source>该文件不允许写入（只读）。</source>
        <translation>The file may not be written (it is read-only).</translation>
    </message>
    <message>
        <source>%1 第 %2 行含有 GBK 编码无法表示的字符“%3”（U+%4）</source>
        <translation>Line %2 of %1 holds the character “%3” (U+%4), which GBK cannot encode</translation>
    </message>
    <message>
        <source>，文件未保存。</source>
        <translation>; the file was not saved.</translation>
    </message>
    <message>
        <source>无法保存文件 %1。
</source>
        <translation>Cannot save the file %1.
</translation>
    </message>
</context>
<context>
    <name>FileIo</name>
    <message>
        <source>这不是一个普通文件（而是文件夹、设备或管道）。</source>
        <translation>This is not a regular file (but a folder, a device or a pipe).</translation>
    </message>
    <message>
        <source>%1
找不到该文件。
请确认路径和文件名是否正确。</source>
        <translation>%1
File not found.
Please check that the path and the file name are correct.</translation>
    </message>
    <message>
        <source>%1
无法打开该文件：%2</source>
        <translation>%1
Cannot open the file: %2</translation>
    </message>
    <message>
        <source>%1
读取该文件时出错：%2</source>
        <translation>%1
An error occurred while reading the file: %2</translation>
    </message>
    <message>
        <source>该文件太大，无法打开。</source>
        <translation>The file is too large to open.</translation>
    </message>
</context>
<context>
    <name>FindBar</name>
    <message>
        <source>区分大小写(&amp;C)</source>
        <translation>Match &amp;case</translation>
    </message>
    <message>
        <source>全字匹配(&amp;O)</source>
        <translation>Wh&amp;ole words only</translation>
    </message>
    <message>
        <source>查找：</source>
        <translation>Find:</translation>
    </message>
    <message>
        <source>上一个</source>
        <translation>Previous</translation>
    </message>
    <message>
        <source>下一个</source>
        <translation>Next</translation>
    </message>
    <message>
        <source>关闭</source>
        <translation>Close</translation>
    </message>
    <message>
        <source>替换为：</source>
        <translation>Replace with:</translation>
    </message>
    <message>
        <source>替换</source>
        <translation>Replace</translation>
    </message>
    <message>
        <source>全部替换</source>
        <translation>Replace All</translation>
    </message>
    <message>
        <source>要查找的文字（Enter 下一个，Shift+Enter 上一个）</source>
        <translation>Text to find (Enter: next, Shift+Enter: previous)</translation>
    </message>
    <message>
        <source>找不到“%1”。</source>
        <translation>Cannot find “%1”.</translation>
    </message>
    <message>
        <source>已查找到开头，从末尾继续。</source>
        <translation>Reached the beginning; continued from the end.</translation>
    </message>
    <message>
        <source>已查找到末尾，从开头继续。</source>
        <translation>Reached the end; continued from the beginning.</translation>
    </message>
    <message numerus="yes">
        <source>已替换 %n 处。</source>
        <translation>
            <numerusform>Replaced %n occurrence.</numerusform>
            <numerusform>Replaced %n occurrences.</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>LockKeys</name>
    <message>
        <source>大写</source>
        <translation>CAP</translation>
    </message>
    <message>
        <source>数字</source>
        <translation>NUM</translation>
    </message>
    <message>
        <source>滚动</source>
        <translation>SCRL</translation>
    </message>
</context>
<context>
    <name>PaneGrammar</name>
    <message>
        <source>，无法分析。</source>
        <translation>; it cannot be analysed.</translation>
    </message>
</context>
<context>
    <name>ParsePane</name>
    <message>
        <source>这幅图太大，无法做成图片；请另存为 SVG。</source>
        <translation>This picture is too large for an image; please save it as SVG instead.</translation>
    </message>
    <message>
        <source>分析树</source>
        <translation>Parse Trees</translation>
    </message>
    <message>
        <source>%1 是数据文件，没有被覆盖。</source>
        <translation>%1 is a data file and was not overwritten.</translation>
    </message>
    <message>
        <source>%1 是分析报告文件，没有被覆盖。</source>
        <translation>%1 is the analysis report file and was not overwritten.</translation>
    </message>
    <message>
        <source>输入格式，如 v n u&lt;的&gt; n</source>
        <translation>Type a pattern, e.g. v n u&lt;的&gt; n</translation>
    </message>
    <message>
        <source>跟随光标</source>
        <translation>Follow Cursor</translation>
    </message>
    <message>
        <source>分析活动窗口中光标所在的行</source>
        <translation>Analyse the line at the cursor in the active window</translation>
    </message>
    <message>
        <source>复制全部树的图片(&amp;C)</source>
        <translation>&amp;Copy Picture of All Trees</translation>
    </message>
    <message>
        <source>全部另存为 SVG(&amp;S)...</source>
        <translation>Save All as &amp;SVG...</translation>
    </message>
    <message>
        <source>全部另存为 PNG(&amp;P)...</source>
        <translation>Save All as &amp;PNG...</translation>
    </message>
    <message>
        <source>导出</source>
        <translation>Export</translation>
    </message>
    <message>
        <source>单击规则名，到规则文件中的这条规则</source>
        <translation>Click a rule&apos;s name to go to its line in the rules file</translation>
    </message>
    <message>
        <source>根 %1</source>
        <translation>Root %1</translation>
    </message>
    <message>
        <source>共%1种，画出前%2种</source>
        <translation>%1 parses, the first %2 drawn</translation>
    </message>
    <message>
        <source>共%1种</source>
        <translation>%1 parses</translation>
    </message>
    <message>
        <source>“%1”不是 GBK 编码能表示的字符。</source>
        <translation>GBK cannot encode the character “%1”.</translation>
    </message>
    <message>
        <source>一个格式最多有五项，这里有 %1 项。</source>
        <translation>A pattern has at most five items; this one has %1.</translation>
    </message>
    <message>
        <source>项长于 19 个字节（GBK）：%1</source>
        <translation>Items longer than 19 bytes (GBK): %1</translation>
    </message>
    <message>
        <source>不是标记集中的标记：%1</source>
        <translation>Not tags of the tag set: %1</translation>
    </message>
    <message>
        <source>、</source>
        <translation>, </translation>
    </message>
    <message>
        <source>共有%1种组合方式</source>
        <translation>Ways to combine: %1</translation>
    </message>
    <message>
        <source>复制树 [%1] 的图片</source>
        <translation>Copy Picture of Tree [%1]</translation>
    </message>
    <message>
        <source>树 [%1] 另存为 SVG...</source>
        <translation>Save Tree [%1] as SVG...</translation>
    </message>
    <message>
        <source>树 [%1] 另存为 PNG...</source>
        <translation>Save Tree [%1] as PNG...</translation>
    </message>
    <message>
        <source>无法生成 PNG 图片。</source>
        <translation>Cannot make the PNG image.</translation>
    </message>
    <message>
        <source>无法保存文件 %1。
%2</source>
        <translation>Cannot save the file %1.
%2</translation>
    </message>
    <message>
        <source>&lt;b&gt;本次：%1&lt;/b&gt;&amp;emsp;%2 种；标出的是新得到的</source>
        <translation>&lt;b&gt;Now: %1&lt;/b&gt;&amp;emsp;%2 parses; those gained are marked</translation>
    </message>
    <message>
        <source>有 %1 个分析树的文本无法读成树，未画出。</source>
        <translation>%1 parses could not be read as trees and are not drawn.</translation>
    </message>
    <message>
        <source>&lt;b&gt;上次&lt;/b&gt;：没有这个格式</source>
        <translation>&lt;b&gt;Before&lt;/b&gt;: no such pattern</translation>
    </message>
    <message>
        <source>&lt;b&gt;上次：%1&lt;/b&gt;&amp;emsp;%2 种；标出的是失去的</source>
        <translation>&lt;b&gt;Before: %1&lt;/b&gt;&amp;emsp;%2 parses; those lost are marked</translation>
    </message>
</context>
<context>
    <name>QObject</name>
    <message>
        <source>找不到随程序附带的示例数据，无法新建数据文件夹。</source>
        <translation>The example data that comes with the program cannot be found, so no data folder can be made.</translation>
    </message>
    <message>
        <source>无法建立文件夹 %1。</source>
        <translation>Cannot create the folder %1.</translation>
    </message>
    <message>
        <source>文件夹 %1 中已有 %2，示例数据不会覆盖它。
请选择一个空文件夹。</source>
        <translation>The folder %1 already holds %2, which the example data will not overwrite.
Please choose an empty folder.</translation>
    </message>
    <message>
        <source>无法写入 %1：%2</source>
        <translation>Cannot write %1: %2</translation>
    </message>
    <message>
        <source>新建数据文件夹：选择一个空文件夹，示例数据将复制到这里</source>
        <translation>New Data Folder: choose an empty folder to copy the example data into</translation>
    </message>
    <message>
        <source>打开数据文件夹：选择含有 config.ini 的文件夹</source>
        <translation>Open Data Folder: choose a folder that holds config.ini</translation>
    </message>
</context>
<context>
    <name>ReportOutline</name>
    <message>
        <source>全部标记全排列</source>
        <translation>Permutations of All Tags</translation>
    </message>
    <message>
        <source>全部排列</source>
        <translation>All Permutations</translation>
    </message>
    <message>
        <source>不能组合</source>
        <translation>Cannot Combine</translation>
    </message>
    <message>
        <source>能组合</source>
        <translation>Combinable</translation>
    </message>
    <message>
        <source>只有一种组合方式</source>
        <translation>One Way Only</translation>
    </message>
    <message>
        <source>外显型歧义</source>
        <translation>Overt Ambiguity</translation>
    </message>
    <message>
        <source>内含型歧义</source>
        <translation>Covert Ambiguity</translation>
    </message>
    <message>
        <source>歧义程度统计</source>
        <translation>Degree of Ambiguity</translation>
    </message>
    <message>
        <source>平均歧义个数：%1</source>
        <translation>Average Number of Readings: %1</translation>
    </message>
    <message>
        <source>内含型歧义排名</source>
        <translation>Covert Ambiguity Ranking</translation>
    </message>
    <message>
        <source>外显型歧义排名</source>
        <translation>Overt Ambiguity Ranking</translation>
    </message>
    <message>
        <source>汇总</source>
        <translation>Summary</translation>
    </message>
</context>
<context>
    <name>RulesPanel</name>
    <message>
        <source>不能组合</source>
        <translation>cannot combine</translation>
    </message>
    <message>
        <source>一种组合方式</source>
        <translation>one way</translation>
    </message>
    <message>
        <source>外显型歧义</source>
        <translation>overt ambiguity</translation>
    </message>
    <message>
        <source>内含型歧义</source>
        <translation>covert ambiguity</translation>
    </message>
    <message>
        <source>全部标记排列</source>
        <translation>Tag-set permutations</translation>
    </message>
    <message>
        <source>sequences 文件</source>
        <translation>Sequences file</translation>
    </message>
    <message>
        <source>%1 → %2 %3</source>
        <translation>%1 → %2 %3</translation>
    </message>
    <message>
        <source>%1：</source>
        <translation>%1: </translation>
    </message>
    <message>
        <source>没有格式的判断改变</source>
        <translation>no judgement changes</translation>
    </message>
    <message>
        <source>%1 个格式的判断改变（%2）</source>
        <translation>%1 patterns change their judgement (%2)</translation>
    </message>
    <message>
        <source>，</source>
        <translation>, </translation>
    </message>
    <message>
        <source>；失去分析树 %1 个</source>
        <translation>; %1 parses lost</translation>
    </message>
    <message>
        <source>；平均歧义度 外显型 %1 → %2，内含型 %3 → %4</source>
        <translation>; average degree overt %1 → %2, covert %3 → %4</translation>
    </message>
    <message>
        <source>；%1 个格式的分析树未全部列出，未计算</source>
        <translation>; %1 patterns not computed (their parses are not all listed)</translation>
    </message>
    <message>
        <source>%1 %2/%3</source>
        <translation>%1 %2/%3</translation>
    </message>
    <message>
        <source>%1用到：%2（分析树/格式）</source>
        <translation>%1 using it: %2 (parses/patterns)</translation>
    </message>
    <message>
        <source>%1 → %2</source>
        <translation>%1 → %2</translation>
    </message>
    <message>
        <source>规则</source>
        <translation>Rules</translation>
    </message>
    <message>
        <source>运行分析之后，这里列出每条规则的用途，以及去掉它时分析的结果。</source>
        <translation>After an analysis run, each rule&apos;s usage and the result of the analysis without it are listed here.</translation>
    </message>
    <message>
        <source>行</source>
        <translation>Line</translation>
    </message>
    <message>
        <source>用到它的分析树</source>
        <translation>Parses using it</translation>
    </message>
    <message>
        <source>用到它的格式</source>
        <translation>Patterns using it</translation>
    </message>
    <message>
        <source>去掉它之后</source>
        <translation>Without it</translation>
    </message>
    <message>
        <source>取消勾选规则，即可看到没有这些规则时的分析结果（规则文件不变）</source>
        <translation>Uncheck rules to see what the analysis gives without them (the rules file stays as it is)</translation>
    </message>
    <message>
        <source>来源</source>
        <translation>Source</translation>
    </message>
    <message>
        <source>格式</source>
        <translation>Pattern</translation>
    </message>
    <message>
        <source>判断（原 → 新）</source>
        <translation>Judgement (old → new)</translation>
    </message>
    <message>
        <source>分析树数</source>
        <translation>Parses</translation>
    </message>
    <message>
        <source>失去的分析树</source>
        <translation>Parses lost</translation>
    </message>
    <message>
        <source>失去的规则</source>
        <translation>Rules lost</translation>
    </message>
    <message>
        <source>全部勾选</source>
        <translation>Check all</translation>
    </message>
    <message>
        <source>不变（另有规则生成同样的节点）</source>
        <translation>no change (another rule makes the same nodes)</translation>
    </message>
    <message>
        <source>%1 个格式的判断改变，失去分析树 %2 个</source>
        <translation>%1 patterns change their judgement, %2 parses lost</translation>
    </message>
    <message>
        <source>用到的规则（%1 条）</source>
        <translation>Rules used (%1)</translation>
    </message>
    <message>
        <source>没有分析树用到的规则（%1 条）</source>
        <translation>Rules no parse uses (%1)</translation>
    </message>
    <message>
        <source>上次运行：%1 条规则，其中 %2 条没有分析树用到。取消勾选规则，即可看到没有它们时的分析结果。</source>
        <translation>Last run: %1 rules, %2 of them used by no parse. Uncheck rules to see what the analysis gives without them.</translation>
    </message>
    <message>
        <source>全部规则都已勾选：结果就是上次运行的结果。</source>
        <translation>Every rule is checked: the result is that of the last run.</translation>
    </message>
    <message>
        <source>另有 %1 个变化的格式没有列出。</source>
        <translation>%1 more changed patterns are not listed.</translation>
    </message>
    <message>
        <source>无法读取上次运行的排列表 %1：%2</source>
        <translation>The table of permutations of the last run cannot be read, %1: %2</translation>
    </message>
    <message>
        <source>没有上次运行的排列表（CSV），变化的格式无法列出。</source>
        <translation>There is no table of permutations (CSV) of the last run: the changed patterns cannot be listed.</translation>
    </message>
    <message>
        <source>没有上次运行的排列表（CSV），只能分别给出每条规则去掉后的结果（见“去掉它之后”一列）。</source>
        <translation>There is no table of permutations (CSV) of the last run: only each rule&apos;s own result can be given (see the column &quot;Without it&quot;).</translation>
    </message>
    <message>
        <source>去掉 %1 条规则之后：</source>
        <translation>Without %1 rules:</translation>
    </message>
</context>
<context>
    <name>TextPrinter</name>
    <message>
        <source>%1 - 打印预览</source>
        <translation>%1 - Print Preview</translation>
    </message>
    <message>
        <source>尚未安装打印机。
打印时可以选择打印到 PDF 文件。</source>
        <translation>No printer is installed.
When printing, you can print to a PDF file instead.</translation>
    </message>
    <message>
        <source>打印设置</source>
        <translation>Print Setup</translation>
    </message>
</context>
<context>
    <name>WindowList</name>
    <message>
        <source>（已从磁盘删除）</source>
        <translation> (deleted from disk)</translation>
    </message>
</context>
<context>
    <name>Workbench</name>
    <message>
        <source>无法进入文件夹 %1。</source>
        <translation>Cannot enter the folder %1.</translation>
    </message>
    <message>
        <source>无法打开规则文件 %1。</source>
        <translation>Cannot open the rules file %1.</translation>
    </message>
    <message>
        <source>无法启动：在文件夹 %1 中找不到 config.ini。</source>
        <translation>Cannot start: there is no config.ini in the folder %1.</translation>
    </message>
    <message>
        <source>无法读取 %1：这不是一个普通文件。</source>
        <translation>Cannot read %1: it is not a regular file.</translation>
    </message>
    <message>
        <source>无法读取 %1。</source>
        <translation>Cannot read %1.</translation>
    </message>
    <message>
        <source>无法打开规则文件：%1 的 [DATA] 节中没有 RULES 项。</source>
        <translation>Cannot open the rules file: section [DATA] of %1 has no RULES entry.</translation>
    </message>
    <message>
        <source>最近文件列表无法写入 %1。
%2</source>
        <translation>The recent file list could not be written to %1.
%2</translation>
    </message>
    <message>
        <source>窗口布局无法写入 %1。
%2</source>
        <translation>The window layout could not be written to %1.
%2</translation>
    </message>
</context>
<context>
    <name>marvolen::AboutDialog</name>
    <message>
        <source>关于 Marvolen</source>
        <translation>About Marvolen</translation>
    </message>
    <message>
        <source>Marvolen %1.%2 版</source>
        <translation>Marvolen Version %1.%2</translation>
    </message>
    <message>
        <source>汉语歧义格式分析工作台</source>
        <translation>Chinese ambiguity workbench</translation>
    </message>
    <message>
        <source>确定</source>
        <translation>OK</translation>
    </message>
</context>
<context>
    <name>marvolen::AnalysisRunner</name>
    <message>
        <source>已写入：%1</source>
        <translation>Written: %1</translation>
    </message>
    <message>
        <source>打开所在文件夹：%1</source>
        <translation>Open the folder: %1</translation>
    </message>
    <message>
        <source>已请系统浏览器打开 HTML 报告；如果浏览器没有打开，请打开 %1</source>
        <translation>The system browser was asked to open the HTML report; if it did not open, please open %1</translation>
    </message>
    <message>
        <source>%1
无法在浏览器中打开该 HTML 报告。</source>
        <translation>%1
This HTML report cannot be opened in a browser.</translation>
    </message>
    <message>
        <source>正在生成歧义格式统计报告。要停止分析并退出吗？</source>
        <translation>The ambiguity pattern report is being generated. Do you want to stop the analysis and exit?</translation>
    </message>
    <message>
        <source>上次分析保存的结果表不能用来比较，本次未作比较：%1</source>
        <translation>The table of results the last analysis kept cannot be compared with; nothing was compared this time: %1</translation>
    </message>
</context>
<context>
    <name>marvolen::ChangesView</name>
    <message>
        <source>上次：%1</source>
        <translation>Before: %1</translation>
    </message>
    <message>
        <source>行是上次分析的判断，列是本次的判断</source>
        <translation>Rows: the judgement of the last analysis; columns: the judgement of this one</translation>
    </message>
    <message>
        <source>有变化的格式</source>
        <translation>Changed Pattern</translation>
    </message>
    <message>
        <source>来源</source>
        <translation>Source</translation>
    </message>
    <message>
        <source>判断</source>
        <translation>Judgement</translation>
    </message>
    <message>
        <source>分析树数</source>
        <translation>Parses</translation>
    </message>
    <message>
        <source>得到／失去的规则</source>
        <translation>Rules Gained / Lost</translation>
    </message>
    <message>
        <source>这是本文件夹中的第一次分析，没有可比较的上次结果。下次分析时将显示与本次相比的变化。</source>
        <translation>This is the first analysis in this folder: there are no earlier results to compare with. The next analysis will show what changed since this one.</translation>
    </message>
    <message>
        <source>上次分析保存的结果表不能用来比较（见下面的消息），本次未作比较。</source>
        <translation>The table of results the last analysis kept cannot be compared with (see the messages below); nothing was compared this time.</translation>
    </message>
    <message>
        <source>平均歧义度：外显型 %1 → %2，内含型 %3 → %4</source>
        <translation>Average degree: overt %1 → %2, covert %3 → %4</translation>
    </message>
    <message>
        <source>与上次的结果（%1）相比：%2 个格式都没有变化。</source>
        <translation>Compared with the last results (%1): none of %2 patterns changed.</translation>
    </message>
    <message>
        <source>与上次的结果（%1）相比：%2 个格式中有 %3 个有变化。</source>
        <translation>Compared with the last results (%1): %3 of %2 patterns changed.</translation>
    </message>
    <message>
        <source>与规则文件 %1 的分析相比：%2 个格式都没有变化。</source>
        <translation>Compared with the analysis by the rules file %1: none of %2 patterns changed.</translation>
    </message>
    <message>
        <source>与规则文件 %1 的分析相比：%2 个格式中有 %3 个有变化。</source>
        <translation>Compared with the analysis by the rules file %1: %3 of %2 patterns changed.</translation>
    </message>
    <message>
        <source>这里列出前 %1 个。</source>
        <translation> The first %1 are listed here.</translation>
    </message>
    <message>
        <source>%1 → %2</source>
        <translation>%1 → %2</translation>
    </message>
    <message>
        <source>（+%1 −%2）</source>
        <translation> (+%1 −%2)</translation>
    </message>
    <message>
        <source>判断：%1 → %2</source>
        <translation>Judgement: %1 → %2</translation>
    </message>
    <message>
        <source>分析树：%1 → %2</source>
        <translation>Parses: %1 → %2</translation>
    </message>
    <message>
        <source>（分析树多于所列的上限，只比较了数目）</source>
        <translation>(more parses than the limit listed: only their numbers were compared)</translation>
    </message>
    <message>
        <source>得到的规则：%1</source>
        <translation>Rules gained: %1</translation>
    </message>
    <message>
        <source>失去的规则：%1</source>
        <translation>Rules lost: %1</translation>
    </message>
</context>
<context>
    <name>marvolen::DocumentManager</name>
    <message>
        <source>%1 在读入后已被其他程序修改。
保存将覆盖其他程序所做的更改。</source>
        <translation>%1 has been changed by another program since it was read.
Saving will overwrite the other program&apos;s changes.</translation>
    </message>
    <message>
        <source>是否保存对 %1 的更改？</source>
        <translation>Save changes to %1?</translation>
    </message>
    <message>
        <source>以下数据文件有未保存的更改：%1

分析读取磁盘上的文件。要先保存它们吗？</source>
        <translation>These data files have unsaved changes: %1

The analysis reads the files on disk. Do you want to save them first?</translation>
    </message>
    <message>
        <source>、</source>
        <translation>, </translation>
    </message>
    <message>
        <source>%1
已从磁盘删除或移走。保存将重新建立该文件。</source>
        <translation>%1
has been deleted or moved from the disk. Saving will create the file again.</translation>
    </message>
    <message>
        <source>%1 已被其他程序修改。
要重新载入它吗？（未保存的更改将丢失）</source>
        <translation>%1 has been changed by another program.
Do you want to reload it? (Unsaved changes will be lost.)</translation>
    </message>
</context>
<context>
    <name>marvolen::DocumentWindow</name>
    <message>
        <source>第 %1 行：%2</source>
        <translation>Line %1: %2</translation>
    </message>
</context>
<context>
    <name>marvolen::MainWindow</name>
    <message>
        <source>工具栏</source>
        <translation>Toolbar</translation>
    </message>
    <message>
        <source>就绪</source>
        <translation>Ready</translation>
    </message>
    <message>
        <source>第 100000 行，第 1000 列</source>
        <translation>Ln 100000, Col 1000</translation>
    </message>
    <message>
        <source>最近文件</source>
        <translation>Recent File</translation>
    </message>
    <message>
        <source>config.ini 的 [DATA] 节中没有 RESULT 项。</source>
        <translation>Section [DATA] of config.ini has no RESULT entry.</translation>
    </message>
    <message>
        <source>%1
无法用系统程序打开。</source>
        <translation>%1
No program of the system could open it.</translation>
    </message>
    <message>
        <source>第 %1 行，第 %2 列</source>
        <translation>Ln %1, Col %2</translation>
    </message>
</context>
<context>
    <name>marvolen::ReportView</name>
    <message>
        <source>复制(&amp;C)</source>
        <translation>&amp;Copy</translation>
    </message>
    <message>
        <source>全选(&amp;A)</source>
        <translation>Select &amp;All</translation>
    </message>
</context>
<context>
    <name>marvolen::ReportWindow</name>
    <message>
        <source>报告提纲</source>
        <translation>Report Outline</translation>
    </message>
    <message>
        <source>个数</source>
        <translation>Count</translation>
    </message>
    <message>
        <source>本次分析的消息</source>
        <translation>Messages of This Analysis</translation>
    </message>
    <message>
        <source>文件</source>
        <translation>File</translation>
    </message>
    <message>
        <source>行</source>
        <translation>Line</translation>
    </message>
    <message>
        <source>%1
该报告太大，内存不足，无法显示。</source>
        <translation>%1
This report is too large to show: there is not enough memory.</translation>
    </message>
    <message>
        <source>分析报告 - %1</source>
        <translation>Analysis Report - %1</translation>
    </message>
    <message>
        <source>报告没有读完：%1</source>
        <translation>The report was not read to its end: %1</translation>
    </message>
    <message>
        <source>报告已读入：共 %1 行</source>
        <translation>Report read: %1 lines</translation>
    </message>
    <message>
        <source>正在读入报告 %1：%2%（%3 行）</source>
        <translation>Reading the report %1: %2% (%3 lines)</translation>
    </message>
    <message>
        <source>第 %1 行</source>
        <translation>Line %1</translation>
    </message>
</context>
<context>
    <name>marvolen::StartDialog</name>
    <message>
        <source>请打开一个数据文件夹（含有 config.ini），或用示例数据新建一个。</source>
        <translation>Please open a data folder (one that holds config.ini), or make a new one from the example data.</translation>
    </message>
    <message>
        <source>最近的数据文件夹：</source>
        <translation>Recent data folders:</translation>
    </message>
    <message>
        <source>打开数据文件夹(&amp;O)...</source>
        <translation>&amp;Open Data Folder...</translation>
    </message>
    <message>
        <source>新建数据文件夹(&amp;N)...</source>
        <translation>&amp;New Data Folder...</translation>
    </message>
    <message>
        <source>退出(&amp;X)</source>
        <translation>E&amp;xit</translation>
    </message>
</context>
<context>
    <name>marvolen::WindowList</name>
    <message>
        <source>更多窗口(&amp;M)...</source>
        <translation>&amp;More Windows...</translation>
    </message>
    <message>
        <source>激活此窗口</source>
        <translation>Activate this window</translation>
    </message>
</context>
</TS>
