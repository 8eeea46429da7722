// Dialog plugin for rich-text editors: checks the editor's editable area in the dialog.
window.qdr = window.qdr || {};
qdr.plugins = qdr.plugins || {};
qdr.plugins.fck = function (editor) {
    const area = editor && (editor.editable ? editor.editable().$ : editor);
    if (window.Verbarium && area) return Verbarium.openDialog(area);
    return Promise.resolve(null);
};
