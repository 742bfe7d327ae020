// The HTML report's page: its template, style and script, built into the
// program from report_page.html, report_page.css and report_page.js.
//
// The template holds three markers, each on its own: <!--@STYLE--> where
// the style goes, <!--@DATA--> where the data blocks go, <!--@SCRIPT-->
// where the script goes.
#ifndef MARVOLEN_EXPORT_REPORT_PAGE_H_
#define MARVOLEN_EXPORT_REPORT_PAGE_H_

namespace marvolen {

const char* ReportPageHtml();
const char* ReportPageCss();
const char* ReportPageScript();

}  // namespace marvolen

#endif  // MARVOLEN_EXPORT_REPORT_PAGE_H_
