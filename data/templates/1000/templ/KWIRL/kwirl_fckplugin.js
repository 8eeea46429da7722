// Check-as-you-type plugin for rich-text editors: checks the editor's editable area.
window.kwirl = window.kwirl || {};
kwirl.plugins = kwirl.plugins || {};
kwirl.plugins.fck = function (editor) {
    const area = editor && (editor.editable ? editor.editable().$ : editor);
    if (window.Verbarium && area) Verbarium.attach(area);
};
