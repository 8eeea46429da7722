// Check-as-you-type client: sends the text of attached fields and marks the misspelt words.
var kwirl = {
    fields: [],
    attach: function (field) { this.fields.push(field); }
};
