// Check-as-you-type plugin for rich-text editors.
kwirl.plugins = kwirl.plugins || {};
kwirl.plugins.fck = function (editor) { kwirl.attach(editor); };
