#include "web/InternalHTMLStyles.h"

namespace quorelle {

namespace {

// Every colour is one of the custom properties of cssVariables(). The
// 720px query is the "medium" layout, the 700px query the "narrow" one.
constexpr std::string_view kBaseCSS = R"CSS(
*, *::before, *::after { box-sizing: border-box; }
html { width: 100%; max-width: 100%; height: 100%; overflow-x: hidden; -webkit-text-size-adjust: 100%; }
body {
  width: 100%; max-width: 100%; margin: 0; min-height: 100%;
  padding: max(16px, env(safe-area-inset-top)) 16px max(20px, env(safe-area-inset-bottom)) 16px;
  font-family: -apple-system, BlinkMacSystemFont, 'Segoe UI', Roboto, Helvetica, Arial, sans-serif;
  font-size: 14px; line-height: 1.5;
  background: var(--vx-page-bg); color: var(--vx-text);
  overflow-x: hidden; word-wrap: break-word;
}
img, video, canvas { max-width: 100%; height: auto; }
a { color: var(--vx-accent); text-decoration: none; }
a:hover { text-decoration: underline; }
.page, .page-wide, .container, .content, .main { width: 100%; max-width: 100%; margin: 0 auto; }
.page { max-width: 920px; padding: 20px 0 40px; }
.page-wide { max-width: 1040px; padding: 20px 0 40px; }
.page-header { margin-bottom: 20px; }
.page-header h1 { font-size: 24px; font-weight: 500; margin: 0 0 6px; line-height: 1.2; }
.desc { color: var(--vx-muted); margin: 0; font-size: 13px; line-height: 1.45; }
.layout, .settings-layout, .two-column, .three-column { display: flex; flex-direction: row; gap: 20px; align-items: flex-start; width: 100%; }
.sidebar, .desktop-sidebar {
  width: 200px; flex-shrink: 0; position: sticky; top: 16px;
  background: var(--vx-card); border: 1px solid var(--vx-border); border-radius: 12px; padding: 8px;
}
.sidebar a, .desktop-sidebar a { display: block; padding: 8px 10px; border-radius: 8px; color: var(--vx-text); font-size: 13px; }
.sidebar a:hover, .desktop-sidebar a:hover { background: var(--vx-omnibox); text-decoration: none; }
.main { flex: 1; min-width: 0; }
.card {
  background: var(--vx-card); border: 1px solid var(--vx-border); border-radius: 12px;
  padding: 16px; margin-bottom: 12px; width: 100%; max-width: 100%;
}
.card h2 { font-size: 15px; font-weight: 500; margin: 0 0 8px; color: var(--vx-text); }
.card p { margin: 0 0 8px; color: var(--vx-muted); font-size: 13px; }
.card p:last-child { margin-bottom: 0; }
.btn-row, .actions, .toolbar-row { display: flex; flex-wrap: wrap; gap: 8px; margin-top: 12px; }
.btn {
  display: inline-flex; align-items: center; justify-content: center;
  padding: 8px 16px; border-radius: 18px; border: none; font-size: 13px; font-weight: 500;
  cursor: pointer; font-family: inherit; white-space: nowrap; max-width: 100%;
}
.btn-primary { background: var(--vx-button); color: var(--vx-button-text); }
.btn-primary:hover { filter: brightness(1.08); }
.btn-secondary { background: transparent; color: var(--vx-accent); border: 1px solid var(--vx-border); }
.btn-danger { background: var(--vx-danger-bg); color: var(--vx-danger-text); border: 1px solid var(--vx-border); }
label.field-label { display: block; font-size: 12px; color: var(--vx-muted); margin: 12px 0 4px; }
input[type="text"], input[type="search"], input[type="url"], input[type="number"], input[type="password"], textarea, select {
  width: 100%; padding: 10px 12px; border: 1px solid var(--vx-border); border-radius: 8px;
  background: var(--vx-omnibox); color: var(--vx-text); font-size: 14px; font-family: inherit; margin: 0 0 8px;
}
input[type="text"]:focus, input[type="search"]:focus, input[type="url"]:focus, input[type="number"]:focus, input[type="password"]:focus, textarea:focus, select:focus {
  outline: 2px solid var(--vx-accent); outline-offset: 0;
}
input, textarea, select, button { max-width: 100%; }
.row { display: flex; gap: 12px; align-items: center; flex-wrap: wrap; }
.row-between { display: flex; justify-content: space-between; align-items: flex-start; gap: 12px; flex-wrap: wrap; }
.list-item {
  display: flex; align-items: flex-start; justify-content: space-between; gap: 12px;
  padding: 12px 0; border-bottom: 1px solid var(--vx-border);
}
.list-item:last-child { border-bottom: none; }
.list-item .meta { flex: 1; min-width: 0; }
.list-item strong { font-size: 14px; font-weight: 500; display: block; }
.list-item small { color: var(--vx-muted); font-size: 12px; word-break: break-all; }
.empty { text-align: center; padding: 40px 16px; color: var(--vx-muted); font-size: 14px; }
.badge { display: inline-block; padding: 2px 8px; border-radius: 10px; font-size: 11px; background: var(--vx-omnibox); color: var(--vx-muted); }
.warn {
  background: var(--vx-warn-bg); border: 1px solid var(--vx-warn-border); color: var(--vx-warn-text);
  padding: 12px 14px; border-radius: 10px; margin-bottom: 16px; font-size: 13px; line-height: 1.45;
}
.grid-2, .grid, .cards-grid { display: grid; grid-template-columns: repeat(auto-fill, minmax(140px, 1fr)); gap: 8px; width: 100%; max-width: 100%; }
.preset-btn { width: 100%; text-align: center; }
ul.clean { margin: 8px 0; padding-left: 20px; color: var(--vx-muted); font-size: 13px; }
table { width: 100%; max-width: 100%; border-collapse: collapse; }
@media (max-width: 720px) {
  .page-header h1 { font-size: 20px; }
  .layout, .settings-layout, .two-column, .three-column { flex-direction: column; }
  .sidebar, .desktop-sidebar { width: 100%; position: static; }
}
@media (max-width: 700px) {
  body { overflow-x: hidden; }
  .page, .page-wide, .container, .content { padding-left: 0; padding-right: 0; }
  .layout, .settings-layout, .two-column, .three-column { display: block; }
  .desktop-sidebar { display: none; }
  .card { width: 100%; }
  .btn-row .btn, .actions .btn, .toolbar-row .btn { flex: 1 1 auto; }
  .list-item { flex-direction: column; align-items: stretch; }
  .grid-2, .grid, .cards-grid { grid-template-columns: 1fr; }
  table { display: block; overflow-x: auto; }
}
)CSS";

}  // namespace

std::string_view InternalHTMLStyles::baseCSS() { return kBaseCSS; }

}  // namespace quorelle
