// Dialog client plugin for rich-text editors: checks the editor's HTML.
qdr.plugins = qdr.plugins || {};
qdr.plugins.fck = function (editor) { qdr.open({ value: editor.getData() }); };
